// A dialog described as data: the window, its controls in creation order
// and the init data that fills its lists. Every backend builds its window
// from this one description, so the dialog looks and behaves alike on each.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/WinTypes.h"

namespace tavirap {

enum class ControlKind { Button, Static, Edit, ComboBox, GroupBox };

// Sizes and positions are in dialog units (see DialogUnits.h).
struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogControl {
    int id = -1;  // -1: a control nobody addresses
    ControlKind kind = ControlKind::Static;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::string text;
    DialogRect rect;
};

// Names a control for assistive technology after a label of the form: the
// label's current text, a trailing colon and blanks trimmed, then the suffix.
// The label is the control at labelIndex in creation order, so labels
// without an id can serve too.
struct ControlLabel {
    int controlId = -1;
    std::size_t labelIndex = 0;
    std::string suffix;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    std::string fontName;
    int pointSize = 8;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    DialogRect rect;                      // x, y 0, 0: centre on the screen
    std::vector<DialogControl> controls;  // creation order, which is the tab order
    std::vector<std::uint8_t> initData;   // see EncodeInitData
    std::vector<ControlLabel> labels;

    // The control with this id; null when there is none (and for -1).
    const DialogControl* FindControl(int controlId) const;
    // The control's place in creation order; throws std::out_of_range, naming
    // the dialog and the id, when the dialog has no such control.
    std::size_t IndexOf(int controlId) const;
};

// One record of dialog init data: the message `message` with `text` sent to
// control `controlId` when the dialog starts.
struct InitRecord {
    int controlId = 0;
    std::uint16_t message = kInitComboAddString;
    std::string text;

    bool operator==(const InitRecord&) const = default;
};

// Little-endian records of: 16-bit control id, 16-bit message, 32-bit length
// of the data, the data (the text with its zero byte); a 16-bit zero ends it.
std::vector<std::uint8_t> EncodeInitData(std::span<const InitRecord> records);

// The reverse; throws std::invalid_argument naming the offset when the data
// is cut short, a length disagrees with its text, or the end mark is missing.
std::vector<InitRecord> DecodeInitData(std::span<const std::uint8_t> data);

// The accessible name that ControlLabel describes, from the label's text.
std::string AccessibleNameFromLabel(std::string_view labelText, std::string_view suffix);

}  // namespace tavirap
