// A second start of the program with a file on its command line (as the file
// manager starts it for a double-clicked data file) hands that file to the
// program already running and ends; the running window opens it through its
// one open routine, which offers to save modified data first. Without a
// running program the second start is an ordinary start.
//
// The programs find each other by a local socket named after the settings
// folder they share, readable only by the user who made it.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace korvane::gui {

class CMainFrame;

// Socket name of the program that uses the settings folder `settingsDir`.
QString RelayName(const QString& settingsDir);

class InstanceRelay : public QObject {
  Q_OBJECT

 public:
  explicit InstanceRelay(QString name, QObject* parent = nullptr);
  ~InstanceRelay() override;

  // Starts taking files from later starts. False when another program
  // already takes them, or the socket cannot be made (then later starts are
  // ordinary starts).
  bool listen();
  bool listening() const;

  // Hands `path` to the program listening under `name`. True when it took
  // it, within `timeoutMs` milliseconds; false when none listens or it does
  // not answer.
  static bool handOver(const QString& name, const QString& path, int timeoutMs = 3000);

 signals:
  // A later start asked for `path` (absolute).
  void fileRequested(const QString& path);

 private:
  void takeConnection();

  QString name_;
  QLocalServer* server_;
};

// Makes the files handed over open in `frame`: the window comes to the front,
// then opens the file as every other way of opening does (after the request
// has been answered, so that the second start ends at once).
void OpenHandedOverFiles(InstanceRelay& relay, CMainFrame& frame);

}  // namespace korvane::gui
