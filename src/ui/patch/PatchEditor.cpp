#include "PatchEditor.h"

#include "Abort.h"
#include "ChannelNotation.h"
#include "OutputCheck.h"
#include "PatchTransfer.h"
#include "RangeMessage.h"
#include "Usr_misc.h"

#include <QCoreApplication>

#include <algorithm>

namespace kestrava {

namespace {

// The system's overflow text ("out of present range") has no counterpart here.

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TPatchEditor)
};

QString settingFailed() {
    return Texts::tr("設定に失敗しました");
}

bool isFullText(const QString &t) {
    return t == u"FULL" || t == u"FUL" || t == u"FF";
}

// A single channel as typed: blanks around it do not matter.
int parseTypedChannel(const QString &text) {
    return ParseChannel(text.trimmed());
}

} // namespace

TPatchEditor::TPatchEditor(TPatchModel &patches, TransferEnv &env, IPatchView &view,
                           const TAppSettings &settings)
    : patches_(patches), env_(env), view_(view), settings_(settings) {}

QString TPatchEditor::RangeMessage() {
    return RangeMessageText();
}

bool TPatchEditor::ConfirmOverwrite(int o) {
    if (!settings_.WarnChgPatch)
        return true;
    const TPatch *patch = patches_.Current();
    if (!patch || o < 0 || o >= patches_.MaxTxChannel || o >= OutputCount)
        return false;
    const PatchEntry entry = (*patch)[std::size_t(o)];
    if (entry == pvNone)
        return true;
    const bool ab = settings_.DispAbCh;
    const QString patchedTo =
        entry == pvFull ? Texts::tr("常時ON") : Texts::tr("入力 %1").arg(ChannelText(entry, ab));
    const QString text = Texts::tr("出力 %1 は %2 にパッチされていますが変更しますか?")
                             .arg(ChannelText(o, ab), patchedTo);
    return env_.boxes.AskYesNo(text);
}

int TPatchEditor::selectedCount() const {
    return int(view_.SelectedOutputs().size());
}

// A written output leaves the selection: in edit mode at once, linked with its cell
// redrawn as the unit acknowledged it.
void TPatchEditor::markWritten(int o) {
    if (env_.link.EditMode)
        view_.Deselect(o);
    else
        view_.RefreshOutputCell(o);
}

void TPatchEditor::moveCursorAfter(int last) {
    if (last < 0)
        return;
    view_.MoveCursorToOutput(last < patches_.MaxTxChannel - 1 ? last + 1 : last);
}

void TPatchEditor::ApplyCellEdit(int c, int r, const QString &value, const QString &editStartText) {
    Q_UNUSED(c); // the row, or the selection, says which outputs change
    if (!patches_.HasCurrent())
        return;
    patches_.PushUndo();
    if (view_.TableMode() == 1)
        applyInputToOutput(r, value);
    else
        applyOutputToInput(value, editStartText);
}

void TPatchEditor::applyInputToOutput(int r, const QString &value) {
    const PatchEntry rowValue = patches_.RowValue(r);
    // A row the view does not have stands for nothing that could be stored.
    if (rowValue == pvNoRow)
        return;
    BracketScope bracket(env_, Texts::tr("パッチ設定中"));
    bool written = false;
    try {
        const QList<int> outputs = ParseChannelList(value);
        for (qsizetype i = 0; i < outputs.size(); ++i) {
            const int n = outputs[i];
            if (n < 1 || n > patches_.MaxTxChannel)
                throw EAbort(RangeMessage());
            if (ConfirmOverwrite(n - 1)) {
                written = true;
                if (!SetPatchEntry(env_, patches_, n - 1, rowValue))
                    throw EAbort(settingFailed());
            }
            env_.SetFraction(double(i) / double(outputs.size()));
        }
        if (!outputs.isEmpty())
            patches_.MarkEdited();
    } catch (const EAbort &e) {
        // What was stored before the failure differs from the unit's stored patch:
        // without the flag it could be neither written nor warned about on closing.
        if (written)
            patches_.MarkEdited();
        env_.boxes.Warning(e.message());
    }
}

void TPatchEditor::applyOutputToInput(const QString &value, const QString &editStartText) {
    const QList<int> selected = view_.SelectedOutputs();
    const int n = int(selected.size());
    if (n <= 1 && value == editStartText)
        return;
    const TPatch &patch = *patches_.Current();
    const QString t = value.trimmed().toUpper();
    BracketScope bracket(env_, Texts::tr("パッチ設定中"));
    try {
        int k = 0;
        int last = -1;
        for (const int o : selected) {
            const PatchEntry entry = patch[std::size_t(o)];
            PatchEntry v = pvNone;
            bool send = true; // an empty text un-patches even an unpatched output
            if (t.isEmpty()) {
                v = pvNone;
            } else if (isFullText(t)) {
                v = pvFull;
                send = entry != pvFull;
            } else {
                const int m = ParseChannel(t);
                if (m < 0 || m >= patches_.MaxRxChannel)
                    throw EAbort(RangeMessage());
                v = m;
                send = entry != m;
            }
            if (send && !SetPatchEntry(env_, patches_, o, v))
                throw EAbort(settingFailed());
            markWritten(o);
            last = o;
            ++k;
            env_.SetFraction(double(k) / n);
        }
        moveCursorAfter(last);
        patches_.MarkEdited();
    } catch (const EAbort &e) {
        env_.boxes.Warning(e.message());
        patches_.MarkEdited();
    }
}

bool TPatchEditor::ToolBarPatch(const QString &inputText, const QString &outputListText) {
    if (!patches_.HasCurrent())
        return false;
    const bool inputToOutput = view_.TableMode() == 1;
    bool written = false;
    try {
        const int input = parseTypedChannel(inputText);
        if (input < 0 || input >= patches_.MaxRxChannel)
            throw EAbort(Texts::tr("不正な入力チャンネルです"));
        if (inputToOutput)
            patches_.PushUndo();
        const QList<int> outputs = ParseChannelList(outputListText);
        for (const int n : outputs) {
            if (n < 1 || n > patches_.MaxTxChannel)
                throw EAbort(RangeMessage());
            if (inputToOutput && !ConfirmOverwrite(n - 1))
                continue;
            written = true;
            if (!SetPatchEntry(env_, patches_, n - 1, input))
                throw EAbort(settingFailed());
        }
        if (!inputToOutput) {
            view_.DropSelection();
            view_.RepaintTable();
        } else if (!outputs.isEmpty()) {
            view_.SetCurrentRow(input + 1);
        }
        patches_.MarkEdited();
        view_.RepaintTable();
        view_.FocusTable();
        return true;
    } catch (const EAbort &e) {
        if (written)
            patches_.MarkEdited();
        env_.boxes.Warning(e.message());
        return false;
    }
}

void TPatchEditor::Paste(const QString &sheetText) {
    if (!patches_.HasCurrent())
        return;
    const int current = view_.CurrentCellOutput();
    const TSheetReading reading = ReadPatchSheet(
        sheetText, {std::max(current, 0), patches_.MaxTxChannel, patches_.MaxRxChannel});
    if (!reading.Ok()) {
        env_.boxes.Warning(reading.Message());
        return;
    }
    PasteValues(reading.values);
}

void TPatchEditor::PasteValues(const QList<TSheetValue> &values) {
    if (!patches_.HasCurrent() || values.isEmpty())
        return;
    patches_.PushUndo();
    const TPatch &patch = *patches_.Current();
    int last = -1;
    try {
        BracketScope bracket(env_, Texts::tr("パッチ設定中"));
        qsizetype k = 0;
        for (const TSheetValue &v : values) {
            // Only changes reach the unit: a long paste of a mostly equal sheet stays short.
            if (patch[std::size_t(v.output)] != v.input &&
                !SetPatchEntry(env_, patches_, v.output, v.input))
                throw EAbort(settingFailed());
            markWritten(v.output);
            last = std::max(last, v.output);
            env_.SetFraction(double(++k) / double(values.size()));
        }
        moveCursorAfter(last);
    } catch (const EAbort &e) {
        env_.boxes.Warning(e.message());
    }
    patches_.MarkEdited();
    view_.RepaintTable();
    view_.FocusTable();
}

QString TPatchEditor::ProposedFirstInput() const {
    const TPatch *patch = patches_.Current();
    if (!patch)
        return QStringLiteral("1");
    const int inputs = std::clamp(patches_.MaxRxChannel, 0, ChannelCount);
    std::array<bool, ChannelCount> used{};
    for (const PatchEntry e : *patch)
        if (e >= 0 && e < inputs)
            used[std::size_t(e)] = true;
    for (int i = 0; i < inputs; ++i)
        if (!used[std::size_t(i)])
            return QString::number(i + 1);
    return {};
}

void TPatchEditor::SetChSel() {
    QString text = ProposedFirstInput();
    if (!env_.boxes.InputQuery(Texts::tr("連番チャンネル設定"),
                               Texts::tr("先頭入力チャンネルを指定してください"), text) ||
        !patches_.HasCurrent()) {
        view_.FocusTable();
        return;
    }
    const int b = parseTypedChannel(text);
    if (b < 0 || b >= patches_.MaxRxChannel) {
        view_.FocusTable();
        return;
    }
    const int n = selectedCount();
    if (b + n > patches_.MaxRxChannel) {
        env_.boxes.Warning(RangeMessage());
        view_.FocusTable();
        return;
    }
    const QList<int> selected = view_.SelectedOutputs();
    int last = -1;
    bool failed = false;
    {
        BracketScope bracket(env_, Texts::tr("パッチ設定中"));
        patches_.PushUndo();
        int k = 0;
        for (const int o : selected) {
            if (!SetPatchEntry(env_, patches_, o, b + k)) {
                failed = true;
                break;
            }
            markWritten(o);
            last = o;
            ++k;
            env_.SetFraction(double(k) / n);
        }
    }
    patches_.MarkEdited();
    moveCursorAfter(last);
    // A refusal would otherwise pass unnoticed: only a silent unit is reported by the link.
    if (failed)
        env_.boxes.Warning(settingFailed());
    view_.FocusTable();
}

void TPatchEditor::DelPatch() {
    patches_.PushUndo();
    const TPatch *patch = patches_.Current();
    if (!patch) {
        view_.FocusTable();
        return;
    }
    if (view_.TableMode() == 1) {
        const int o = view_.CurrentCellOutput();
        if (o >= 0 && o < patches_.MaxTxChannel &&
            patches_.RowValue(view_.CurrentRow()) != pvNone) {
            const bool ok = SetPatchEntry(env_, patches_, o, pvNone);
            // Set after a refusal too: the close question then still offers the write.
            patches_.MarkEdited();
            view_.RepaintTable();
            if (!ok)
                env_.boxes.Error(settingFailed());
        }
        view_.FocusTable();
        return;
    }

    const QList<int> selected = view_.SelectedOutputs();
    const int n = int(selected.size());
    int last = -1;
    {
        BracketScope bracket(env_, Texts::tr("パッチ解除中"));
        try {
            int k = 0;
            for (const int o : selected) {
                if ((*patch)[std::size_t(o)] != pvNone) {
                    if (!SetPatchEntry(env_, patches_, o, pvNone))
                        throw EAbort();
                    markWritten(o);
                }
                last = o;
                ++k;
                env_.SetFraction(double(k) / n);
            }
        } catch (const EAbort &) {
            env_.boxes.Error(settingFailed());
        }
    }
    patches_.MarkEdited();
    moveCursorAfter(last);
    view_.FocusTable();
}

void TPatchEditor::Undo() {
    if (patches_.HasCurrent() && patches_.PopUndo())
        sendRestored();
}

void TPatchEditor::Redo() {
    if (patches_.HasCurrent() && patches_.PopRedo())
        sendRestored();
}

void TPatchEditor::sendRestored() {
    view_.RepaintTable();
    if (env_.link.Linked && !env_.link.EditMode && !SendUndoneCurrentPatch(env_, patches_)) {
        view_.RepaintTable();
        env_.boxes.Error(settingFailed());
    }
}

void TPatchEditor::CheckOutputAt(int o) {
    if (!env_.link.Linked || env_.link.EditMode || o < 0 || o >= OutputCount)
        return;
    showCheck(o);
    SendCheckOutput(env_.link, o);
}

void TPatchEditor::CheckOn() {
    const int o = view_.CurrentCellOutput();
    if (o >= 0 && o < patches_.MaxTxChannel)
        CheckOutputAt(o);
}

void TPatchEditor::CheckOff() {
    showCheck(-1);
    if (env_.link.Linked && !env_.link.EditMode)
        SendCheckOff(env_.link);
}

bool TPatchEditor::CheckLevel(int level) {
    if (!env_.link.Linked || env_.link.EditMode)
        return false;
    SendCheckLevel(env_.link, level);
    return true;
}

void TPatchEditor::ForgetCheck() {
    showCheck(-1);
}

void TPatchEditor::showCheck(int o) {
    checkOutput_ = o;
    view_.ShowCheckedOutput(o);
}

} // namespace kestrava
