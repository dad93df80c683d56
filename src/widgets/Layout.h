#pragma once

// A screen's layout table: one row per control (or control array), front to back within each
// container, read by Form::build. A row says what the pupil sees and where, its place in the
// keyboard's and the screen reader's order, and which of the screen's handlers its events run.

#include "widgets/Accessibility.h"
#include "widgets/ControlArray.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/Twips.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vaporica {

enum class Kind { Button, Image, Frame, Label, Words };

// The platform's button face, in the layout's system-colour notation.
constexpr std::uint32_t ButtonFace = 0x8000000F;

enum class Face { None, Mincho, PMincho };
struct LayoutFont {
    Face face = Face::None;
    double points = 0;
    bool bold = false;
};
constexpr bool Bold = true;
constexpr bool Regular = false;

// Which item of a control array is drawn in front where items overlap.
enum class Stack { FirstInFront, LastInFront };

constexpr int NoOrder = -1;

// Where a row's controls go in the screen: the member that holds them and how many there are.
template <class Screen> struct ControlField {
    Kind kind;
    int count;
    void (*store)(Screen &screen, QObject *control, int index);
};

namespace layout_detail {
template <class> struct MemberOf;
template <class S, class M> struct MemberOf<M S::*> {
    using Screen = S;
    using Member = M;
};

template <class C> constexpr Kind kindOf() {
    if constexpr (std::is_same_v<C, GraphicalButton>)
        return Kind::Button;
    else if constexpr (std::is_same_v<C, ImageBox>)
        return Kind::Image;
    else if constexpr (std::is_same_v<C, Frame>)
        return Kind::Frame;
    else {
        static_assert(std::is_same_v<C, Label>,
                      "a layout row holds a button, image, frame or label");
        return Kind::Label;
    }
}

template <class> struct Holder;
template <class C> struct Holder<C *> {
    using Control = C;
    static constexpr int count = 1;
    static void put(C *&member, QObject *control, int) { member = static_cast<C *>(control); }
};
template <class C, int N> struct Holder<ControlArray<C, N>> {
    using Control = C;
    static constexpr int count = N;
    static void put(ControlArray<C, N> &member, QObject *control, int index) {
        member(index) = static_cast<C *>(control);
    }
};

template <auto Field>
void store(typename MemberOf<decltype(Field)>::Screen &screen, QObject *control, int index) {
    Holder<typename MemberOf<decltype(Field)>::Member>::put(screen.*Field, control, index);
}
} // namespace layout_detail

// The control (or control array) a row builds, named by the screen's member that holds it.
template <auto Field>
constexpr ControlField<typename layout_detail::MemberOf<decltype(Field)>::Screen> control = [] {
    using Member = typename layout_detail::MemberOf<decltype(Field)>::Member;
    using H = layout_detail::Holder<Member>;
    return ControlField<typename layout_detail::MemberOf<decltype(Field)>::Screen>{
        layout_detail::kindOf<typename H::Control>(), H::count, &layout_detail::store<Field>};
}();

// Words a screen reader reads where the background picture shows them; no control holds them.
template <class Screen> constexpr ControlField<Screen> spokenWords{Kind::Words, 1, nullptr};

// A handler of the screen, for a single control or (with the item's index) a control array.
template <class Screen> struct On {
    void (Screen::*plain)() = nullptr;
    void (Screen::*indexed)(int) = nullptr;
    constexpr On() = default;
    constexpr On(void (Screen::*handler)()) : plain(handler) {}
    constexpr On(void (Screen::*handler)(int Index)) : indexed(handler) {}

    Handler bound(Screen *screen, int index) const {
        if (plain != nullptr)
            return [screen, h = plain] { (screen->*h)(); };
        if (indexed != nullptr)
            return [screen, h = indexed, index] { (screen->*h)(index); };
        return {};
    }
};

template <class Screen> struct LayoutRow {
    const char *name;
    ControlField<Screen> control;
    const char *inside = nullptr; // the frame it lies in; none for the form
    // Twips; relative to the frame for a control inside one. An array's items take placeOf(n), or
    // this place when every item stands in the same spot.
    TwipsRect place = {};
    TwipsRect (*placeOf)(int index) = nullptr;
    Stack stack = Stack::FirstInFront;
    const char *caption = nullptr;
    // A piece of layout artwork; "%1" stands for an array item's index.
    const char *art = nullptr;
    PictureFile (*plateOf)(int index) = nullptr; // a design-time name plate instead
    const char *words = nullptr;                 // what a screen reader calls the control
    QString (*wordsOf)(int index) = nullptr;
    const char *description = nullptr;
    std::uint32_t back = PaleYellow; // a button's face
    std::uint32_t fore = Black;
    LayoutFont font = {};
    bool hidden = false;
    bool stretch = false;
    bool answer = false; // a picture that answers a question: it takes the focus
    int tab = NoOrder;
    int tabStep = 1; // from one array item to the next
    int reading = NoOrder;
    On<Screen> click = {};
    On<Screen> mouseMove = {};

    TwipsRect placeOfItem(int index) const { return placeOf != nullptr ? placeOf(index) : place; }
    int tabOfItem(int index) const { return tab + (index - 1) * tabStep; }
};

// A table put together from parts, where one shape of rows is used more than once.
template <class Row, std::size_t... N>
constexpr auto joinedRows(const std::array<Row, N> &...parts) {
    std::array<Row, (N + ...)> all{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
    return all;
}

// Where a table puts item `index` of the control `name` (1 for a single control), in layout
// pixels of the window: a control inside a frame lies at its place in the frame, as build puts
// it. Null when the table holds no such control.
template <class Screen>
QRect placeInTable(std::span<const LayoutRow<Screen>> table, std::string_view name, int index = 1) {
    for (const LayoutRow<Screen> &row : table) {
        if (name != row.name || index < 1 || index > row.control.count)
            continue;
        QRect place = row.placeOfItem(index).pixels();
        if (row.inside == nullptr)
            return place;
        const QRect frame = placeInTable(table, row.inside);
        return frame.isNull() ? QRect() : place.translated(frame.topLeft());
    }
    return {};
}

// The untyped part of making one control: what it is and how it looks.
struct ControlLook {
    Kind kind;
    TwipsRect place;
    QString caption;
    QString art;
    PictureFile plate;
    QString words;
    QString description;
    std::uint32_t back, fore;
    LayoutFont font;
    bool hidden, stretch, answer;
};
QObject *makeControl(QWidget *parent, const ControlLook &look);
// Gives a control its click and pointer-move handlers, those of its kind.
void wireHandlers(QObject *control, Handler click, Handler mouseMove);

// For a static_assert beside each table: every row's "inside" names a frame of an earlier row.
template <class Screen> constexpr bool framesComeFirst(std::span<const LayoutRow<Screen>> table) {
    const auto same = [](const char *a, const char *b) {
        while (*a != 0 && *a == *b)
            ++a, ++b;
        return *a == *b;
    };
    for (std::size_t r = 0; r < table.size(); ++r) {
        if (table[r].inside == nullptr)
            continue;
        bool found = false;
        for (std::size_t earlier = 0; earlier < r && !found; ++earlier)
            found = table[earlier].control.kind == Kind::Frame &&
                    same(table[earlier].name, table[r].inside);
        if (!found)
            return false;
    }
    return true;
}

// One control the table made, with what decides its stacking, tab and reading places.
struct BuiltControl {
    QObject *object;
    int row;
    int index; // in its control array, 1 for a single control
    Stack stack;
    int tab;
    int reading;
};
// Stacks the controls (the table lists them front to back), sets the tab order and the order a
// screen reader reads them in.
void arrangeControls(Form &form, const std::vector<BuiltControl> &built);

// The picture of item n of a row: an array's pictures are numbered ("generator%1.svg"), a single
// control's path stands as it is.
inline QString artOfItem(const char *art, int n) {
    if (art == nullptr)
        return {};
    const QString path = QString::fromUtf8(art);
    return path.contains(QLatin1String("%1")) ? path.arg(n) : path;
}

template <class Screen> void Form::build(std::span<const LayoutRow<Screen>> table) {
    Screen &screen = static_cast<Screen &>(*this);
    std::map<std::string, QWidget *, std::less<>> frames;
    std::vector<BuiltControl> built;
    for (int r = 0; r < int(table.size()); ++r) {
        const LayoutRow<Screen> &row = table[std::size_t(r)];
        // framesComeFirst holds for every table, so the frame exists.
        QWidget *parent = row.inside == nullptr ? static_cast<QWidget *>(this)
                                                : frames.find(std::string_view(row.inside))->second;
        for (int n = 1; n <= row.control.count; ++n) {
            QObject *object = makeControl(
                parent,
                {row.control.kind, row.placeOfItem(n), QString::fromUtf8(row.caption),
                 artOfItem(row.art, n), row.plateOf != nullptr ? row.plateOf(n) : PictureFile(),
                 row.wordsOf != nullptr ? row.wordsOf(n) : QString::fromUtf8(row.words),
                 QString::fromUtf8(row.description), row.back, row.fore, row.font, row.hidden,
                 row.stretch, row.answer});
            // Found by the name the table gives it: "Command6", or "Command1(3)" in an array.
            object->setObjectName(
                row.control.count == 1
                    ? QString::fromUtf8(row.name)
                    : QStringLiteral("%1(%2)").arg(QString::fromUtf8(row.name)).arg(n));
            if (row.control.store != nullptr)
                row.control.store(screen, object, n);
            wireHandlers(object, row.click.bound(&screen, n), row.mouseMove.bound(&screen, n));
            if (row.control.kind == Kind::Frame)
                frames.emplace(row.name, static_cast<QWidget *>(object));
            built.push_back({object, r, n, row.stack,
                             row.tab == NoOrder ? NoOrder : row.tabOfItem(n), row.reading});
        }
    }
    arrangeControls(*this, built);
}

} // namespace vaporica
