#pragma once

#include <QByteArray>
#include <QString>

namespace talvex {

/// "DATA.TXT" in the current working directory, looked up at each access.
QString settingsFilePath();

/// The first line of the settings file, without its line end and unchecked, or "1"
/// when there is no settings file. Only the first line is read, and only from a
/// regular file (or a link to one): anything else in its place counts as no file.
/// A settings file that cannot be read gives "1" too, with the reason in @p failure.
QString readPortSetting(QString *failure = nullptr);

/// The port setting held in @p head, the start of a settings file: its first line
/// without the line end (CR or LF), cut after 256 bytes and decoded as Big5, so at
/// most 256 characters and never a CR or LF.
QString parsePortSetting(const QByteArray &head);

/// Writes @p comPort and CR LF to the settings file, replacing it (through a link, to
/// the file it names). Anything but a regular file in its place is left alone. On
/// failure returns false and describes the reason in @p error.
bool writePortSetting(const QString &comPort, QString *error = nullptr);

} // namespace talvex
