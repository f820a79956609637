#pragma once

#include <QStringList>

class QSettings;

namespace talvex {

class PortMap;

// The operator's choice of device for each of COM1..COM4 is kept per user in the
// station's QSettings, not in DATA.TXT: the settings file holds only the port number
// and may be shared by everyone who works at the controller, while which device an
// adapter shows up as belongs to one login on one machine.

/// Takes the choices kept in @p settings into @p map. A kept path with a NUL in it is
/// refused (the port keeps its default device) and @p refused, when given, gets a
/// sentence for each such port.
void loadPortChoices(PortMap &map, QSettings &settings, QStringList *refused = nullptr);
/// What the operator is told of a kept choice for port @p number that was refused.
QString refusedChoiceNotice(int number);
/// Keeps the choices of @p map in @p settings (a default is kept as no entry at all).
/// False when the settings could not be written.
bool savePortChoices(const PortMap &map, QSettings &settings);

} // namespace talvex
