#include "platform/qbKeyGrab.h"

TqbKeysym qbKeysymOf(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const char letter = char(key - Qt::Key_A + 'a');
        return {quint32(letter), QString(QChar(letter))};
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return {quint32(key), QString(QChar(char(key)))};
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return {quint32(0xffbe + (key - Qt::Key_F1)), QString("F%1").arg(key - Qt::Key_F1 + 1)};
    static const struct {
        Qt::Key key;
        quint32 code;
        const char* name;
    } Named[] = {
        {Qt::Key_Space, 0x20, "space"},      {Qt::Key_Escape, 0xff1b, "Escape"},
        {Qt::Key_Tab, 0xff09, "Tab"},        {Qt::Key_Backspace, 0xff08, "BackSpace"},
        {Qt::Key_Return, 0xff0d, "Return"},  {Qt::Key_Enter, 0xff8d, "KP_Enter"},
        {Qt::Key_Insert, 0xff63, "Insert"},  {Qt::Key_Delete, 0xffff, "Delete"},
        {Qt::Key_Pause, 0xff13, "Pause"},    {Qt::Key_Print, 0xff61, "Print"},
        {Qt::Key_Home, 0xff50, "Home"},      {Qt::Key_End, 0xff57, "End"},
        {Qt::Key_Left, 0xff51, "Left"},      {Qt::Key_Up, 0xff52, "Up"},
        {Qt::Key_Right, 0xff53, "Right"},    {Qt::Key_Down, 0xff54, "Down"},
        {Qt::Key_PageUp, 0xff55, "Page_Up"}, {Qt::Key_PageDown, 0xff56, "Page_Down"},
    };
    for (const auto& named : Named)
        if (named.key == key)
            return {named.code, QString::fromLatin1(named.name)};
    return {};
}
