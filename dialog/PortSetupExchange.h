// The configuration dialog's field exchange: which control shows which field
// of the settings record, in which order, with which checks.
#pragma once

#include "framework/DataExchange.h"
#include "settings/PortSettings.h"

namespace tavirap {

// The dialog's DoDataExchange calls this; a failing check ends the transfer
// (CUserException) after the fields before it have been taken.
void ExchangeFields(CDataExchange& dx, PortSettings& s);

}  // namespace tavirap
