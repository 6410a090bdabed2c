#include "StatusText.h"

#include <QCoreApplication>

namespace kestrava {

QString LinkPanelText(bool editMode, int comPortNo, bool linked, bool portOpen, int statusWord) {
    auto tr = [](const char *t) { return QCoreApplication::translate("KestravaForm", t); };
    if (editMode)
        return tr("編集モード");
    QString text = QStringLiteral("COM%1").arg(comPortNo);
    text += linked ? tr(":接続") : portOpen ? tr(":切断") : tr(":無効");
    text += QStringLiteral("  DMX:");
    text += (statusWord & 0x001) ? u'A' : u'-';
    text += (statusWord & 0x010) ? u'B' : u'-';
    return text;
}

} // namespace kestrava
