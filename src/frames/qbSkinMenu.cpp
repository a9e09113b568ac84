#include "frames/qbSkinMenu.h"

TqbSkinMenu::TqbSkinMenu(QWidget* parent) : QMenu(QStringLiteral("(&S)스킨 선택...."), parent) {
    setObjectName(QStringLiteral("SkinMenu"));
    const auto fixed = [this](const QString& text, int command) {
        QAction* item = addAction(text);
        item->setData(command);
    };
    fixed(QStringLiteral("(&A) MS 윈도우 모양"), CmdWindowsLook);
    fixed(QStringLiteral("(&B) 기본 스킨"), CmdBasicSkin);
    connect(this, &QMenu::aboutToShow, this, &TqbSkinMenu::Rebuild);
    connect(this, &QMenu::triggered, this, [this](QAction* item) {
        const int command = item->data().toInt();
        if (command == CmdWindowsLook || command == CmdBasicSkin ||
            SkinIndex(command, int(m_skinItems.size())) >= 0)
            emit Command(command);
    });
}

QString TqbSkinMenu::SkinItemText(int index, const QString& name) {
    return QStringLiteral("(&") + QChar(char16_t(65 + index)) + QLatin1Char(')') + name;
}

int TqbSkinMenu::SkinIndex(int command, int count) {
    const int index = command - CmdFirstSkin;
    return index >= 0 && index < count && index < ActedSkins ? index : -1;
}

void TqbSkinMenu::SetSkinNames(const QStringList& names) {
    qDeleteAll(m_skinItems);
    m_skinItems.clear();
    for (int i = 0; i < names.size(); ++i) {
        QAction* item = addAction(SkinItemText(i, names[i]));
        item->setData(CmdFirstSkin + i);
        m_skinItems << item;
    }
}

QAction* TqbSkinMenu::CommandAction(int command) const {
    for (QAction* item : actions())
        if (item->data().toInt() == command && !item->isSeparator())
            return item;
    return nullptr;
}
