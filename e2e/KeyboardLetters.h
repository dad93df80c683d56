#pragma once

// Letters a test types that the private server's keyboard lacks (Japanese words), put on spare
// keys before the typing. Left to itself, xdotool rebinds one scratch key for each such letter
// and binds it back at once; a program still busy with earlier keys then reads the key under the
// next binding, and a loaded machine typed 「固＋＋加加加ラス…」 for 「固体＋液体・加熱…」.

#include <QSet>
#include <QString>

#include <X11/Xlib.h>

namespace vaporica::e2e {

inline bool putLettersOnKeys(const QString &display, const QString &text) {
    Display *x = XOpenDisplay(display.toLocal8Bit().constData());
    if (x == nullptr)
        return false;
    int firstKey = 0, lastKey = 0, perKey = 0;
    XDisplayKeycodes(x, &firstKey, &lastKey);
    KeySym *map = XGetKeyboardMapping(x, firstKey, lastKey - firstKey + 1, &perKey);
    const auto onSomeKey = [&](KeySym letter) {
        for (int i = 0; i < (lastKey - firstKey + 1) * perKey; ++i)
            if (map[i] == letter)
                return true;
        return false;
    };
    // A key with nothing on it, or one of the keyboard's media and vendor keys (XF86…), which
    // the tests never press: an X server's usual map leaves too few keys empty for a sentence.
    const auto unused = [&](int key) {
        const KeySym *on = map + (key - firstKey) * perKey;
        if ((on[0] & 0xFFFF0000) == 0x10080000)
            return true;
        for (int i = 0; i < perKey; ++i)
            if (on[i] != NoSymbol)
                return false;
        return true;
    };
    bool allPut = true;
    QSet<char32_t> done;
    int key = lastKey;
    for (const char32_t letter : text.toUcs4()) {
        // X's keysym for a letter outside Latin-1 is its code point with this mark.
        const KeySym sym = letter < 0x100 ? letter : (0x01000000 | letter);
        if (done.contains(letter) || onSomeKey(sym))
            continue;
        while (key >= firstKey && !unused(key))
            --key;
        if (key < firstKey) {
            allPut = false;
            break;
        }
        KeySym both[2] = {sym, sym};
        XChangeKeyboardMapping(x, key, 2, both, 1);
        map[(key - firstKey) * perKey] = sym;
        done.insert(letter);
        --key;
    }
    XFree(map);
    XSync(x, False);
    XCloseDisplay(x);
    return allPut;
}

} // namespace vaporica::e2e
