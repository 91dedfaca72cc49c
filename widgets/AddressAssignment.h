#pragma once

class BootReplySender;
class CUnitList;
class QWidget;

// Asks the operator for the selected unit's IP address, subnet mask and
// gateway, writes them into its row and broadcasts the unit's answer through
// `listenSocket` (null until the operator started listening); the row's Sent
// column then tells whether it went out. Does nothing when no row is
// selected.
void AssignAddressToSelectedUnit(QWidget* owner, CUnitList& units, BootReplySender* listenSocket);
