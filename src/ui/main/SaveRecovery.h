#pragma once

#include <QString>

// The editor's side of saves cut short (InterruptedSaves): each is told, with
// where its complete copy is, and finished when the user agrees. One that the
// user leaves is told again at the next start.
namespace SaveRecovery {

// Every save cut short: at start.
void OfferAll();
// Those of one file: before it is read.
void OfferFor(const QString& fileName);

}  // namespace SaveRecovery
