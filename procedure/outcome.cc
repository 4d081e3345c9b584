// The outcome table. Exit codes and boxes share their numbers ([004] and 4);
// several outcomes may share an exit code, but never a word.
#include "procedure/outcome.h"

#include "procedure/enum_table.h"

namespace {

struct OutcomeRow {
  Outcome outcome;
  OutcomeFacts facts;
};

// clang-format off
constexpr OutcomeRow kOutcomes[] = {
    {kOutcomeUpdated,         {0,   kBoxSuccess,            "updated",           1, kWaitForKey}},
    {kOutcomeAddressRefused,  {1,   kBoxAddressError,       "address-refused",   0, kWaitForKey}},
    {kOutcomePasswordRefused, {3,   kBoxPasswordError,      "password-refused",  0, kWaitForKey}},
    {kOutcomeNotTarget,       {4,   kBoxNotTargetModel,     "not-target",        1, kWaitForKey}},
    {kOutcomeNoAnswer,        {4,   kBoxNotTargetModel,     "no-answer",         1, kWaitForKey}},
    {kOutcomeAlreadyCurrent,  {5,   kBoxAlreadyCurrent,     "already-current",   1, kWaitForKey}},
    {kOutcomeVersionUnknown,  {6,   kBoxVersionBefore,      "version-unknown",   1, kWaitForKey}},
    {kOutcomeNotUpdated,      {7,   kBoxVersionAfterFlash,  "not-updated",       1, kWaitForKey}},
    {kOutcomeFlashRunning,    {7,   kBoxVersionAfterFlash,  "flash-running",     1, kWaitForKey}},
    {kOutcomeFlashNotStarted, {7,   kBoxVersionAfterFlash,  "flash-not-started", 1, kWaitForKey}},
    {kOutcomeStillBusy,       {8,   kBoxVersionAfterReset,  "still-busy",        1, kWaitForKey}},
    {kOutcomeNoImage,         {9,   kNoBox,                 "no-image",          0, kWaitWhenOwnConsole}},
    {kOutcomeFolderBusy,      {13,  kNoBox,                 "folder-busy",       0, kWaitWhenOwnConsole}},
    {kOutcomeKitIncomplete,   {16,  kNoBox,                 "kit-incomplete",    0, kWaitWhenOwnConsole}},
    {kOutcomeBmcBusyHere,     {17,  kNoBox,                 "bmc-busy-here",     0, kWaitWhenOwnConsole}},
    {kOutcomeDeclined,        {255, kNoBox,                 "declined",          0, kNoWait}},
    {kOutcomeInterrupted,     {-1,  kNoBox,                 "interrupted",       1, kNoWait}},
};
// clang-format on

static_assert(IsEnumTable(kOutcomes, &OutcomeRow::outcome, kOutcomeCount), "a row per Outcome");

}  // namespace

const OutcomeFacts& FactsOf(Outcome outcome) { return kOutcomes[outcome].facts; }
