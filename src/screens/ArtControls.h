#pragma once

// The layout artwork that more than one screen's table shows.

namespace vaporica {

// The ring of a right answer and the cross of a wrong one, hidden until an answer shows them.
constexpr const char *RightMarkArt = ":/art/common/mark-right.svg";
constexpr const char *WrongMarkArt = ":/art/common/mark-wrong.svg";
constexpr const char *RightMarkWords = "正解";
constexpr const char *WrongMarkWords = "不正解";

// The navigation buttons' plates.
constexpr const char *QuitArt = ":/art/common/nav-quit.svg";
constexpr const char *BackArt = ":/art/common/nav-back.svg";

} // namespace vaporica
