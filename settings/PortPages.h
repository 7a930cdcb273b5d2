// Shows the 64 port addresses eight at a time through the record's rows.
// The caller brings the form's values into the record before storing and
// shows the record in the form after every operation that shows a page.
#pragma once

#include "settings/PortSettings.h"

namespace tavirap {

// Keeps what the rows hold in the table. A blank row (empty label) holds no
// port, so the entry behind it keeps its address.
void StorePage(PortSettings& settings);
// Fills the rows for the current page; on page 0 the rows past a two- or
// four-port total are blank.
void ShowPage(PortSettings& settings);
void PrevPage(PortSettings& settings);
void NextPage(PortSettings& settings);
// After the user chose another total: the page shown stays where it is.
void ChangeTotal(PortSettings& settings);

}  // namespace tavirap
