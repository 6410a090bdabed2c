#pragma once

// The boxes' texts the tests expect, as the program writes them (Japanese), in one place.

#include <QString>

namespace kestrava::test {

inline const QString kNoResponse = QStringLiteral("応答がありません");
inline const QString kFetchFailed = QStringLiteral("取得に失敗しました");
inline const QString kWriteFailed = QStringLiteral("書込に失敗しました");
inline const QString kTransferFailed = QStringLiteral("転送に失敗しました");
inline const QString kSaveFailed = QStringLiteral("保存に失敗しました");
inline const QString kReadFailed = QStringLiteral("ファイルの読込に失敗しました");
inline const QString kLoadFailed = QStringLiteral("読込に失敗しました");
inline const QString kAllDataFailed = QStringLiteral("読込・転送に失敗しました");

} // namespace kestrava::test
