#include "display_probe.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace ui {
namespace {

QByteArray Env(const char* name) { return QByteArray(std::getenv(name)); }

// Where Qt looks for platform plugins: the directories the environment names, then its own.
QStringList PlatformPluginDirs() {
  QStringList dirs;
  for (const QByteArray& dir : Env("QT_QPA_PLATFORM_PLUGIN_PATH").split(':')) {
    if (!dir.isEmpty()) dirs << QString::fromLocal8Bit(dir);
  }
  for (const QByteArray& dir : Env("QT_PLUGIN_PATH").split(':')) {
    if (!dir.isEmpty()) dirs << QString::fromLocal8Bit(dir) + QStringLiteral("/platforms");
  }
  dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
  return dirs;
}

bool PlatformPluginInstalled(const QByteArray& fileName) {
  for (const QString& dir : PlatformPluginDirs()) {
    if (QFileInfo::exists(dir + QLatin1Char('/') + QString::fromLatin1(fileName))) return true;
  }
  return false;
}

// Connects to the X server the way the xcb platform will, through libxcb loaded only for
// the question, so that nothing links it.
bool XServerReachable() {
  if (Env("DISPLAY").isEmpty() || !PlatformPluginInstalled("libqxcb.so")) return false;
  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (xcb == nullptr) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  bool reachable = false;
  if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
    void* connection = connect(nullptr, nullptr);
    reachable = connection != nullptr && hasError(connection) == 0;
    if (connection != nullptr) disconnect(connection);  // also frees a failed connection
  }
  dlclose(xcb);
  return reachable;
}

bool WaylandReachable() {
  const QByteArray display = Env("WAYLAND_DISPLAY");
  if (display.isEmpty()) return false;
  const QByteArray socket =
      display.startsWith('/') ? display : Env("XDG_RUNTIME_DIR") + '/' + display;
  struct stat info {};
  return stat(socket.constData(), &info) == 0 && S_ISSOCK(info.st_mode) &&
         PlatformPluginInstalled("libqwayland-generic.so");
}

bool PlatformAvailable(QByteArray name) {
  const qsizetype options = name.indexOf(':');  // "offscreen:fontengine=freetype"
  if (options >= 0) name.truncate(options);
  name = name.trimmed();
  if (name.isEmpty() || name == "xcb") return XServerReachable();
  if (name.startsWith("wayland")) return WaylandReachable();
  // offscreen, minimal, vnc, linuxfb, eglfs need no display server: an installed plugin will do.
  return PlatformPluginInstalled("libq" + name + ".so");
}

}  // namespace

bool DisplayAvailable() {
  const QByteArray requested = Env("QT_QPA_PLATFORM");
  // Without a request Qt takes xcb, or wayland in a Wayland session.
  if (requested.isEmpty()) {
    return XServerReachable() || (Env("XDG_SESSION_TYPE") == "wayland" && WaylandReachable());
  }
  // Qt tries a ';'-separated list in order.
  for (const QByteArray& name : requested.split(';')) {
    if (PlatformAvailable(name)) return true;
  }
  return false;
}

}  // namespace ui
