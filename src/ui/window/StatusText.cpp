#include "StatusText.h"

#include "ChannelNotation.h"
#include "LoadAttrModel.h"

#include <QCoreApplication>

namespace kestrava {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(KestravaForm)
};
} // namespace

QString LinkPanelText(bool editMode, int comPortNo, bool linked, bool portOpen, TDmxLines lines) {
    if (editMode)
        return Texts::tr("編集モード");
    QString text = QStringLiteral("COM%1").arg(comPortNo);
    text += linked ? Texts::tr(":接続") : portOpen ? Texts::tr(":切断") : Texts::tr(":無効");
    text += QStringLiteral("  DMX:");
    text += lines.lineA ? u'A' : u'-';
    text += lines.lineB ? u'B' : u'-';
    return text;
}

QString InfoPanelText(bool hasPatch, int output, int mode, bool ab, int maxTx, int loadAttr,
                      int selected, bool changed) {
    QString text;
    if (hasPatch) {
        text = Texts::tr("出力Ch:");
        if (output >= 0 && output < maxTx) {
            text += ab ? QStringLiteral("%1(%2) ").arg(ChannelText(output, true)).arg(output + 1)
                       : QStringLiteral("%1 ").arg(output + 1);
            text += LoadAttrText(loadAttr);
        } else {
            text += QStringLiteral("---");
        }
    }
    if (mode == 0)
        text += Texts::tr("  選択中:") + QString::number(selected);
    if (changed)
        text += Texts::tr("  変更有");
    text += mode == 1 ? Texts::tr("  (ユニット番号入力)") : Texts::tr("  (フェーダ番号入力)");
    return text;
}

} // namespace kestrava
