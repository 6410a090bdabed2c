#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace kestrava {

// The guard that keeps a second Kestrava of the same user from starting.
inline constexpr char kInstanceLockName[] = "Kestrava_is_running";

// The lock file in the user's runtime folder, so that every logged-in user runs a
// Kestrava of their own and none can block another; in the temporary folder only
// when the system gives no runtime folder.
QString InstanceLockPath();

// Takes the guard in folder (empty: the folder of InstanceLockPath). Null when a
// running Kestrava holds it; a lock left behind by a crash is taken over.
std::unique_ptr<QLockFile> LockSingleInstance(const QString &folder = QString());

} // namespace kestrava
