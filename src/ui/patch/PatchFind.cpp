#include "PatchFind.h"

#include "ChannelNotation.h"
#include "PatchTable.h"
#include "RangeMessage.h"
#include "SheetReader.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PatchFind)
};

} // namespace

void GoToOutputAsked(const TBoxes &boxes, const TPatchModel &patches, TPatchTable &table) {
    QString text;
    if (!boxes.InputQuery(Texts::tr("出力へ移動"), Texts::tr("出力チャンネルを指定してください"),
                          text))
        return;
    const int o = ParseChannel(text.trimmed());
    if (o < 0 || o >= patches.MaxTxChannel || !table.GoToOutput(o))
        boxes.Warning(RangeMessageText());
    table.FocusTable();
}

void FindInputAsked(const TBoxes &boxes, const TPatchModel &patches, TPatchTable &table) {
    QString text;
    const TPatch *patch = patches.Current();
    if (!patch || !boxes.InputQuery(Texts::tr("入力を検索"),
                                    Texts::tr("入力チャンネルを指定してください"), text))
        return;
    const std::optional<PatchEntry> input = ReadSheetInput(text, patches.MaxRxChannel);
    if (!input || *input == pvNone) {
        boxes.Warning(Texts::tr("不正な入力チャンネルです"));
        return;
    }
    QList<int> found;
    for (int o = 0; o < patches.MaxTxChannel; ++o)
        if ((*patch)[std::size_t(o)] == *input)
            found.append(o);
    if (found.isEmpty()) {
        boxes.Info(Texts::tr("%1 にパッチされた出力はありません").arg(text.trimmed().toUpper()));
        return;
    }
    if (table.TableMode() == 0) {
        table.MoveCursorToOutput(found.first());
        table.SelectOutputs(found); // after the move, which selects the cell it lands on
    } else {
        table.GoToOutput(found.first());
    }
    table.FocusTable();
}

} // namespace kestrava
