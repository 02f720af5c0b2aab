// Test helper: whether the program runs under Wine, for what only real Windows can show.
#pragma once

/// True under Wine. Wine 8 ends a process whose stack overflows inside a guard instead of raising
/// the stack-overflow exception, so tests of that skip there (and say so).
bool runningUnderWine();
