#include "core/forms/filter_dialog_model.h"

#include <gtest/gtest.h>

#include "core/app/korvane_doc.h"
#include "core/data/number_entry.h"
#include "core/data/typed_number.h"
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

TEST_F(FilterDialogTest, OpeningTextsShowTheCornersHeld) {
  doc.highPassKHz = 0.015f;
  doc.lowPassKHz = 123.5f;
  doc.lowPassOn = true;
  FilterDialogModel model(doc);
  EXPECT_EQ(model.highPassText(), "0.015");
  EXPECT_EQ(model.lowPassText(), "123.5");
  EXPECT_FALSE(model.highPassChecked());
  EXPECT_TRUE(model.lowPassChecked());

  CKorvaneDoc fresh;
  FilterDialogModel defaults(fresh);
  EXPECT_EQ(defaults.highPassText(), "20.00");
  EXPECT_EQ(defaults.lowPassText(), "50");
}

// A corner typed is taken only as a number in its range, on the right side
// of the other corner; a refusal keeps the corner held and the waveforms as
// they were filtered with it.
TEST_F(FilterDialogTest, EnteringACornerFollowsTheTypedNumberRule) {
  const std::string highRange = RangeMessage(RangeOf(TypedField::HighPass));
  const std::string lowRange = RangeMessage(RangeOf(TypedField::LowPass));
  const std::string aboveLow(kMsgHighAboveLow);
  struct Case {
    bool high;  // which box is typed into (both filters on: 20 and 50 kHz)
    const char* text;
    std::string message;  // empty: taken
    float held;           // the corner afterwards
    const char* shown;    // the field's text when taken
  };
  const Case cases[] = {
      {true, "10", "", 10.0f, "10.00"},      {true, " 0.01 ", "", 0.01f, "0.01"},
      {true, "1.234", "", 1.234f, "1.234"},  {true, "0.0099", highRange, 20.0f, ""},
      {true, "20.01", highRange, 20.0f, ""}, {true, "", highRange, 20.0f, ""},
      {true, "abc", highRange, 20.0f, ""},   {true, "3,5", highRange, 20.0f, ""},
      {true, "1e1", highRange, 20.0f, ""},   {false, "600", lowRange, 50.0f, ""},
      {false, "1.9", lowRange, 50.0f, ""},   {false, "123456789012345678901", lowRange, 50.0f, ""},
      {false, "5", aboveLow, 50.0f, ""},     {false, "500", "", 500.0f, "500"},
      {false, "20", "", 20.0f, "20"},  // equal corners filter
      {false, "62.5", "", 62.5f, "62.5"},
  };
  for (const Case& c : cases) {
    CKorvaneDoc fresh;
    FillDocument(fresh, 3, 256, 1.0f);
    FilterDialogModel model(fresh);
    model.SetHighPassChecked(true);
    model.SetLowPassChecked(true);
    const SampleBuffer before = fresh.GetCurrentZone()->points[0]->samples;
    const FilterDialogUpdate update = c.high ? model.EnterHighPass(c.text) : model.EnterLowPass(c.text);
    EXPECT_EQ(update.message, c.message) << c.text;
    EXPECT_EQ(c.high ? fresh.highPassKHz : fresh.lowPassKHz, c.held) << c.text;
    // The waveforms are those of the corners held.
    EXPECT_EQ(fresh.GetCurrentZone()->points[0]->samples,
              Expected(fresh, true, fresh.highPassKHz, true, fresh.lowPassKHz))
        << c.text;
    if (c.message.empty()) {
      EXPECT_EQ(update.editText, c.shown) << c.text;
      EXPECT_TRUE(update.redrawPanels) << c.text;
    } else {
      EXPECT_FALSE(update.editText.has_value()) << c.text;
      EXPECT_FALSE(update.redrawPanels) << c.text;
      EXPECT_EQ(fresh.GetCurrentZone()->points[0]->samples, before) << c.text;
    }
  }
}

TEST_F(FilterDialogTest, TypingFiveThenFiftyInTheLowPassBox) {
  FilterDialogModel model(doc);
  model.SetHighPassChecked(true);  // 20 kHz
  model.SetLowPassChecked(true);   // 50 kHz
  doc.RestoreZoneWaveforms();      // start the sequence from the loaded waveforms
  doc.modified = false;

  const FilterDialogUpdate five = model.EnterLowPass("5");
  EXPECT_EQ(five.message, kMsgHighAboveLow);
  EXPECT_FALSE(ZoneIsFiltered(doc));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(doc.lowPassKHz, 50.0f);

  // The same corner again filters nothing anew; another one does.
  EXPECT_FALSE(model.EnterLowPass("50").redrawPanels);
  const FilterDialogUpdate sixty = model.EnterLowPass("60");
  EXPECT_TRUE(sixty.redrawPanels);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, true, 20.0f, true, 60.0f));
  // Every point of the 4-point zone, not only the first three.
  EXPECT_NE(doc.GetCurrentZone()->points[3]->samples, doc.GetCurrentZone()->points[3]->unfilteredSamples);
}

TEST_F(FilterDialogTest, CheckBoxesSwitchRefilterOrRefuse) {
  FilterDialogModel model(doc);
  FilterDialogUpdate update = model.SetHighPassChecked(true);
  EXPECT_FALSE(update.refused());
  EXPECT_TRUE(doc.highPassOn);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, true, 20.0f, false, 50.0f));

  update = model.SetLowPassChecked(true);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, true, 20.0f, true, 50.0f));

  // Unchecking refilters with what is left on.
  update = model.SetHighPassChecked(false);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_TRUE(update.redrawPanels);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 20.0f, true, 50.0f));

  // With the high-pass off its corner is not compared with the low-pass:
  // the low-pass alone may go below it.
  EXPECT_FALSE(model.EnterLowPass("10").refused());
  // Checking the high-pass now would put it above the low-pass: refused.
  update = model.SetHighPassChecked(true);
  EXPECT_EQ(update.message, kMsgHighAboveLow);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_FALSE(update.redrawPanels);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 20.0f, true, 10.0f));

  // A corner held outside its range (from the settings) cannot be switched
  // on with.
  CKorvaneDoc held;
  FillDocument(held, 3, 256, 1.0f);
  held.lowPassKHz = 600.0f;
  FilterDialogModel fromSettings(held);
  EXPECT_EQ(fromSettings.SetLowPassChecked(true).message, RangeMessage(RangeOf(TypedField::LowPass)));
  EXPECT_FALSE(held.lowPassOn);
  EXPECT_FALSE(ZoneIsFiltered(held));
}

TEST_F(FilterDialogTest, CancelPutsBackTheOpeningSettingsAndRefilters) {
  doc.lowPassOn = true;
  doc.lowPassKHz = 100.0f;
  doc.RestoreZoneWaveforms();
  doc.FilterZoneWaveforms();
  FilterDialogModel model(doc);
  model.SetHighPassChecked(true);
  model.EnterHighPass("5");
  model.EnterLowPass("60");
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

TEST(FilterCommand, RefusedWithoutAFile) {
  CKorvaneDoc doc;
  EXPECT_EQ(FilterCommandRefusal(doc), "请先打开文件再进行滤波!");
  FillDocument(doc, 3, 64, 1.0f);
  EXPECT_EQ(FilterCommandRefusal(doc), "");
}

TEST(FilterCorners, CheckedAsTheDialogDoes) {
  const std::string highRange = RangeMessage(RangeOf(TypedField::HighPass));
  const std::string lowRange = RangeMessage(RangeOf(TypedField::LowPass));
  struct Case {
    std::optional<float> high;
    std::optional<float> low;
    std::string refusal;
  };
  const Case cases[] = {
      {20.0f, std::nullopt, ""},
      {0.01f, std::nullopt, ""},
      {25.0f, std::nullopt, highRange},
      {std::nullopt, 1.0f, lowRange},
      {std::nullopt, 5.0f, ""},  // no high-pass given: nothing to compare with
      {10.0f, 5.0f, "高通值必须小于低通值"},
      {20.0f, 20.0f, ""},
      {0.005f, 600.0f, highRange},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckFilterCorners(c.high, c.low), c.refusal);

  CKorvaneDoc doc;
  FillDocument(doc, 3, 256, 1.0f);
  EXPECT_EQ(ApplyFilterCorners(doc, 25.0f, std::nullopt), highRange);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_FALSE(ZoneIsFiltered(doc));
  EXPECT_EQ(ApplyFilterCorners(doc, std::nullopt, 80.0f), "");
  EXPECT_TRUE(doc.lowPassOn);
  EXPECT_FALSE(doc.highPassOn);
  EXPECT_EQ(doc.GetCurrentZone()->points[0]->samples, Expected(doc, false, 0.0f, true, 80.0f));
}

}  // namespace
}  // namespace korvane
