#pragma once

namespace kestrava {

// Names the program to the system ("Kestrava", with its icon). It sets no separate
// display name: the platform would append one to every window title ("警告 — Kestrava"),
// while each window, box and dialog is to carry exactly its own caption.
void SetApplicationIdentity();

} // namespace kestrava
