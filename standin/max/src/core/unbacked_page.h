// A page of address space whose reading the system cannot satisfy, for the injected in-page fault.
#pragma once

namespace standin {
/// A readable-looking page with nothing behind it, made once and kept for the process (a fault
/// abandons whoever would release it). On POSIX a page mapped from an empty file: reading it
/// raises the in-page fault. Windows cannot map an empty file and gives no page fault of that kind
/// without a failing device, so there the page is reserved but never committed: reading it is an
/// access violation, which is what the system really raises. Null when the system refused.
const void* unbackedPage();
}  // namespace standin
