#pragma once

#include <QString>

#include <optional>

namespace kestrava {

// Every command of the main window, in one list: the enumeration and the object
// names (the system's action names) come from it, so a misspelt action cannot compile.
#define KESTRAVA_ACTIONS(X)                                                                        \
    X(ReConnectAction)                                                                             \
    X(GetTableAction)                                                                              \
    X(DelPatchAction)                                                                              \
    X(SetChSelAction)                                                                              \
    X(WritePatAction)                                                                              \
    X(ClrAllPatAction)                                                                             \
    X(ClrCurPatAction)                                                                             \
    X(ThrCurPatAction)                                                                             \
    X(SaveAllPatAction)                                                                            \
    X(SaveCurPatAction)                                                                            \
    X(LoadAllPatAction)                                                                            \
    X(LoadCurPatAction)                                                                            \
    X(CheckOnAction)                                                                               \
    X(CheckOffAction)                                                                              \
    X(TableO2IAction)                                                                              \
    X(TableI2OAction)                                                                              \
    X(TableW10Action)                                                                              \
    X(TableW12Action)                                                                              \
    X(TableW16Action)                                                                              \
    X(TableW20Action)                                                                              \
    X(GetLdAtrAcion)                                                                               \
    X(WriteLdAtrAction)                                                                            \
    X(SaveLdAtrAction)                                                                             \
    X(LoadLdAtrAction)                                                                             \
    X(InitLdAtrAction)                                                                             \
    X(ChgLdAtrAction)                                                                              \
    X(GoWebAction)                                                                                 \
    X(SaveAllDataAction)                                                                           \
    X(LoadAllDataAction)                                                                           \
    X(DispABChAction)                                                                              \
    X(UndoPatAction)                                                                               \
    X(ToolBarPatchAction)                                                                          \
    X(AddPAction)                                                                                  \
    X(DelPAction)                                                                                  \
    X(InitCrvAction)                                                                               \
    X(GetCurveAction)                                                                              \
    X(WriteCurveAction)                                                                            \
    X(SaveCurveAction)                                                                             \
    X(LoadCurveAction)                                                                             \
    X(CrvGridW8Action)                                                                             \
    X(CrvGridW16Action)                                                                            \
    X(RedoPatAction)                                                                               \
    X(GoToOutputAction)                                                                            \
    X(FindInputAction)                                                                             \
    X(CopyPatAction)                                                                               \
    X(PastePatAction)                                                                              \
    X(CopyLdAtrAction)                                                                             \
    X(PasteLdAtrAction)                                                                            \
    X(LoadSheetAction)                                                                             \
    X(PrintSheetAction)                                                                            \
    X(CompareFileAction)                                                                           \
    X(HistoryAction)

enum class ActionId {
#define KESTRAVA_ACTION_ID(name) name,
    KESTRAVA_ACTIONS(KESTRAVA_ACTION_ID)
#undef KESTRAVA_ACTION_ID
        Count
};

constexpr int ActionCount = int(ActionId::Count);

// The action's object name, e.g. "WritePatAction".
const char *ActionName(ActionId id);
// The action of an object name, if there is one.
std::optional<ActionId> ActionIdOf(const QString &name);

} // namespace kestrava
