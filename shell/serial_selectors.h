// Stand-ins for the serial setting selectors (port name and speed) until the
// selector class exists: plain drop-down lists, and the few steps that tie
// their entries to the port. Entry indexes are what the settings file keeps.
#pragma once

#include "serial/com_port.h"

#include <string>
#include <vector>

class QComboBox;

namespace shell {

// Sorted ignoring ASCII letter case, so "COM10" comes before "COM2" and
// "ttyACM0" before "ttyS0" whatever the listing order.
std::vector<std::string> sorted_port_names(std::vector<std::string> names);

// The machine's ports; none when they cannot be listed.
void fill_port_selector(QComboBox* selector, serial::PortLister& ports);
// "Custom", "110" ... "256000": entry n is the speed of ordinal n.
void fill_speed_selector(QComboBox* selector);

// Gives the port the selected entry; with no entry selected the port keeps its
// setting.
void apply_port_selection(const QComboBox* selector, serial::TCustomComPort& port);
void apply_speed_selection(const QComboBox* selector, serial::TCustomComPort& port);

// Selects the entries that name the port's current settings.
void show_port_settings(QComboBox* port_selector, QComboBox* speed_selector, const serial::TCustomComPort& port);

}  // namespace shell
