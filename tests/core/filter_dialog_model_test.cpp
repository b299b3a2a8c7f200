#include "core/forms/filter_dialog_model.h"

#include <gtest/gtest.h>

#include "core/app/korvane_doc.h"
#include "core/data/number_entry.h"
#include "core/wave/waveform_filter.h"
#include "wave_fixtures.h"

namespace korvane {
namespace {

using testing::FillDocument;

bool ZoneIsFiltered(const CKorvaneDoc& doc) {
  const MeasuringPoint& point = *doc.GetCurrentZone()->points[0];
  return point.samples != point.loadedSamples();
}

// Codes of point 0 filtered with the given settings from the loaded copy.
SampleBuffer Expected(const CKorvaneDoc& doc, bool high, float highKHz, bool low, float lowKHz) {
  const MeasuringPoint& point = *doc.GetCurrentZone()->points[0];
  std::vector<std::uint16_t> out(point.unfilteredSamples.size());
  WaveformFilter(point.unfilteredSamples.data(), out.data(), static_cast<int>(out.size()),
                 doc.GetCurrentZone()->sampleInterval, high, highKHz * 1000.0f, low, lowKHz * 1000.0f);
  return SampleBuffer(std::move(out));
}

class FilterDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { FillDocument(doc, 4, 512, 0.5f); }
  CKorvaneDoc doc;
};

TEST_F(FilterDialogTest, OpeningTextsAndChecks) {
  doc.highPassKHz = 0.015f;
  doc.lowPassKHz = 123.5f;
  doc.lowPassOn = true;
  FilterDialogModel model(doc);
  EXPECT_EQ(model.highPassText(), "0.01");
  EXPECT_EQ(model.lowPassText(), "124");
  EXPECT_FALSE(model.highPassChecked());
  EXPECT_TRUE(model.lowPassChecked());
  EXPECT_EQ(model.caption(), "滤波");

  CKorvaneDoc fresh;
  FilterDialogModel defaults(fresh);
  EXPECT_EQ(defaults.highPassText(), "20.00");
  EXPECT_EQ(defaults.lowPassText(), "50");
}

TEST_F(FilterDialogTest, TypingFiveThenFiftyInTheLowPassBox) {
  FilterDialogModel model(doc);
  model.SetLowPassChecked(true);  // "50" is valid: filters at once
  doc.RestoreZoneWaveforms();     // start the sequence from the loaded waveforms
  doc.modified = false;

  const FilterDialogUpdate five = model.LowPassTextChanged("5");
  EXPECT_EQ(five.caption, "高通值必须小于低通值");
  EXPECT_FALSE(five.redrawPanels);
  EXPECT_FALSE(ZoneIsFiltered(doc));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(doc.lowPassKHz, 5.0f);  // stored although invalid

  const FilterDialogUpdate fifty = model.LowPassTextChanged("50");
  EXPECT_EQ(fifty.caption, "数字滤波");
  EXPECT_TRUE(fifty.redrawPanels);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 20.0f, true, 50.0f));
  // Every point of the 4-point zone, not only the first three.
  EXPECT_NE(doc.GetCurrentZone()->points[3]->samples, doc.GetCurrentZone()->points[3]->unfilteredSamples);
}

TEST_F(FilterDialogTest, CaptionsForEveryKindOfValue) {
  struct Case {
    bool high;  // which box is typed into
    const char* text;
    const char* caption;
    bool filters;
  };
  // High-pass 20 and low-pass 50 in the other box unless typed.
  const Case cases[] = {
      {true, "20", "数字滤波", true},
      {true, "0.01", "数字滤波", true},
      {true, "0.0099", "高通范围为0.01-20kHz", false},
      {true, "20.01", "高通范围为0.01-20kHz", false},
      {true, "", "高通范围为0.01-20kHz", false},
      {true, "abc", "高通范围为0.01-20kHz", false},
      {false, "2", "高通值必须小于低通值", false},
      {false, "500", "数字滤波", true},
      {false, "1.9", "低通范围为2-500kHz", false},
      {false, "501", "低通范围为2-500kHz", false},
      {false, "20", "数字滤波", true},
  };
  for (const Case& c : cases) {
    CKorvaneDoc fresh;
    FillDocument(fresh, 3, 256, 1.0f);
    fresh.highPassOn = true;  // the boxes can only be typed into while checked
    fresh.lowPassOn = true;
    FilterDialogModel model(fresh);
    const FilterDialogUpdate update =
        c.high ? model.HighPassTextChanged(c.text) : model.LowPassTextChanged(c.text);
    EXPECT_EQ(update.caption, c.caption) << c.text;
    EXPECT_EQ(model.caption(), c.caption) << c.text;
    EXPECT_TRUE(update.messages.empty()) << c.text;
    EXPECT_EQ(update.redrawPanels, c.filters) << c.text;
    EXPECT_EQ(ZoneIsFiltered(fresh), c.filters) << c.text;
  }
}

TEST_F(FilterDialogTest, HighPassEqualToLowPassIsAccepted) {
  FilterDialogModel model(doc);
  model.SetHighPassChecked(true);
  model.SetLowPassChecked(true);
  model.LowPassTextChanged("20");
  const FilterDialogUpdate update = model.HighPassTextChanged("20");
  EXPECT_EQ(update.caption, "数字滤波");
  EXPECT_TRUE(update.redrawPanels);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, true, 20.0f, true, 20.0f));
}

TEST_F(FilterDialogTest, ValuesAboveNineThousandNineHundredNinetyNineAreCut) {
  struct Case {
    bool high;
    const char* text;
    const char* message;
    const char* shortened;
    const char* caption;
  };
  const Case cases[] = {
      {true, "12345", "高通范围为0.01-20kHz", "1234", "高通范围为0.01-20kHz"},
      {false, "123456", "低通范围为2-500", "1234", "低通范围为2-500kHz"},
      {false, "1000000", "低通范围为2-500", "1000", "低通范围为2-500kHz"},
      // The first four characters can be valid again: they filter.
      {true, "1.5e10", "高通范围为0.01-20kHz", "1.5e", "数字滤波"},
  };
  for (const Case& c : cases) {
    CKorvaneDoc fresh;
    FillDocument(fresh, 3, 256, 1.0f);
    FilterDialogModel model(fresh);
    const FilterDialogUpdate update =
        c.high ? model.HighPassTextChanged(c.text) : model.LowPassTextChanged(c.text);
    ASSERT_EQ(update.messages.size(), 1u) << c.text;
    EXPECT_EQ(update.messages[0], c.message);
    EXPECT_EQ(update.editText, c.shortened);
    EXPECT_EQ(update.caption, c.caption) << c.text;
    EXPECT_EQ(c.high ? model.highPassText() : model.lowPassText(), c.shortened);
  }
}

TEST_F(FilterDialogTest, FourCharacterTextAboveTheLimitDoesNotLoop) {
  FilterDialogModel model(doc);
  const FilterDialogUpdate update = model.HighPassTextChanged("1e10");
  ASSERT_EQ(update.messages.size(), 1u);
  EXPECT_FALSE(update.editText.has_value());  // already four characters
  EXPECT_EQ(update.caption, "高通范围为0.01-20kHz");
  EXPECT_FALSE(update.redrawPanels);
}

TEST_F(FilterDialogTest, TooLongTextWarnsAndReadsZero) {
  FilterDialogModel model(doc);
  const FilterDialogUpdate update = model.LowPassTextChanged("123456789012345678901");
  ASSERT_EQ(update.messages.size(), 1u);
  EXPECT_EQ(update.messages[0], kNumberTooLongMessage);
  EXPECT_EQ(doc.lowPassKHz, 0.0f);
  EXPECT_EQ(update.caption, "低通范围为2-500kHz");
}

TEST_F(FilterDialogTest, CheckBoxesSwitchAndRefilter) {
  FilterDialogModel model(doc);
  FilterDialogUpdate update = model.SetHighPassChecked(true);
  EXPECT_TRUE(doc.highPassOn);
  EXPECT_EQ(update.caption, "数字滤波");
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, true, 20.0f, false, 50.0f));

  update = model.SetLowPassChecked(true);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, true, 20.0f, true, 50.0f));

  // Unchecking refilters with what is left on, whatever the caption said.
  update = model.SetHighPassChecked(false);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_TRUE(update.redrawPanels);
  EXPECT_FALSE(update.caption.has_value());
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 20.0f, true, 50.0f));

  // Checking with an invalid text stored: no filtering, the caption says why.
  model.HighPassTextChanged("30");
  update = model.SetHighPassChecked(true);
  EXPECT_EQ(update.caption, "高通范围为0.01-20kHz");
  EXPECT_FALSE(update.redrawPanels);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 20.0f, true, 50.0f));
}

TEST_F(FilterDialogTest, CancelPutsBackTheOpeningSettingsAndRefilters) {
  doc.lowPassOn = true;
  doc.lowPassKHz = 100.0f;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  FilterDialogModel model(doc);
  model.SetHighPassChecked(true);
  model.HighPassTextChanged("5");
  model.LowPassTextChanged("60");
  doc.modified = false;

  const FilterDialogUpdate update = model.Cancel();
  EXPECT_TRUE(update.redrawPanels);
  EXPECT_TRUE(doc.modified);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_TRUE(doc.lowPassOn);
  EXPECT_EQ(doc.highPassKHz, 20.0f);
  EXPECT_EQ(doc.lowPassKHz, 100.0f);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 20.0f, true, 100.0f));
}

TEST_F(FilterDialogTest, AcceptReadsBothTextsWithoutChecksOrFiltering) {
  FilterDialogModel model(doc);
  model.SetLowPassChecked(true);
  model.HighPassTextChanged("25");  // invalid: not filtered
  model.LowPassTextChanged("7");
  doc.highPassKHz = 1.0f;  // whatever the document holds, OK reads the texts
  EXPECT_TRUE(model.Accept().empty());
  EXPECT_EQ(doc.highPassKHz, 25.0f);
  EXPECT_EQ(doc.lowPassKHz, 7.0f);
  // Still as the last valid change (low-pass 50) left them.
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 0.0f, true, 50.0f));
}

TEST(FilterCommand, RefusedWithoutAFile) {
  CKorvaneDoc doc;
  EXPECT_EQ(FilterCommandRefusal(doc), "请先打开文件再进行滤波!");
  FillDocument(doc, 3, 64, 1.0f);
  EXPECT_EQ(FilterCommandRefusal(doc), "");
}

TEST(FilterCorners, CheckedAsTheDialogDoes) {
  struct Case {
    std::optional<float> high;
    std::optional<float> low;
    const char* refusal;
  };
  const Case cases[] = {
      {20.0f, std::nullopt, ""},
      {25.0f, std::nullopt, "高通范围为0.01-20kHz"},
      {std::nullopt, 1.0f, "低通范围为2-500kHz"},
      {std::nullopt, 5.0f, ""},  // no high-pass given: nothing to compare with
      {10.0f, 5.0f, "高通值必须小于低通值"},
      {20.0f, 20.0f, ""},
      {0.005f, 600.0f, "高通范围为0.01-20kHz"},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckFilterCorners(c.high, c.low), c.refusal);

  CKorvaneDoc doc;
  FillDocument(doc, 3, 256, 1.0f);
  EXPECT_EQ(ApplyFilterCorners(doc, 25.0f, std::nullopt), "高通范围为0.01-20kHz");
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_FALSE(ZoneIsFiltered(doc));
  EXPECT_EQ(ApplyFilterCorners(doc, std::nullopt, 80.0f), "");
  EXPECT_TRUE(doc.lowPassOn);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 0.0f, true, 80.0f));
}

}  // namespace
}  // namespace korvane
