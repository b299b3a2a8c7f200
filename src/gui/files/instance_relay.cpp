#include "gui/files/instance_relay.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "gui/main_frame.h"

namespace korvane::gui {

namespace {

// One request is the file's URL (percent-encoded, so that any file name
// fits on the line) ended by a line feed; the answer is "ok" and a line
// feed. A request is far shorter than this.
constexpr qint64 kMaxRequestBytes = 64 * 1024;
const QByteArray kAnswer = QByteArrayLiteral("ok\n");

}  // namespace

QString RelayName(const QString& settingsDir) {
  const QString folder = QDir(settingsDir).absolutePath();
  const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
  return QStringLiteral("korvane-") + QString::fromLatin1(hash.left(16));
}

InstanceRelay::InstanceRelay(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &InstanceRelay::takeConnection);
}

InstanceRelay::~InstanceRelay() = default;

bool InstanceRelay::listening() const { return server_->isListening(); }

bool InstanceRelay::listen() {
  if (server_->listen(name_)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  // The name is taken: by a running program, or left behind by one that
  // ended without removing it.
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(500)) return false;
  QLocalServer::removeServer(name_);
  return server_->listen(name_);
}

void InstanceRelay::takeConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes) socket->abort();
        return;
      }
      const QUrl url = QUrl::fromEncoded(socket->readLine(kMaxRequestBytes).trimmed());
      socket->write(kAnswer);
      socket->flush();
      socket->disconnectFromServer();
      if (url.isLocalFile()) emit fileRequested(url.toLocalFile());
    });
  }
}

bool InstanceRelay::handOver(const QString& name, const QString& path, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray answer;
  while (!answer.endsWith('\n')) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
    answer += socket.readAll();
  }
  return answer == kAnswer;
}

namespace {

// Opens `path` in the window once no dialog of the program is open (a file
// handed over while a dialog or a question is shown waits for it to close).
void OpenWhenIdle(const QPointer<CMainFrame>& window, const QString& path) {
  if (window.isNull()) return;
  if (QApplication::activeModalWidget() != nullptr) {
    QTimer::singleShot(250, window.data(), [window, path] { OpenWhenIdle(window, path); });
    return;
  }
  window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window->raise();
  window->activateWindow();
  window->openFile(path);
}

}  // namespace

void OpenHandedOverFiles(InstanceRelay& relay, CMainFrame& frame) {
  QPointer<CMainFrame> window(&frame);
  QObject::connect(
      &relay, &InstanceRelay::fileRequested, &frame,
      [window](const QString& path) { OpenWhenIdle(window, path); }, Qt::QueuedConnection);
}

}  // namespace korvane::gui
