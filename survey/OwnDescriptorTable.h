#pragma once

namespace lumetra {

/// Gives the calling thread a descriptor table of its own, a copy of the process's: descriptors it opens from
/// here on are its own, and the others' new ones are not in its table. True when it has one; false (the table
/// stays shared) where the system does not allow it.
///
/// Threads that share a table take its lock for every open and close and count a reference on the file for
/// every read, so that two reading threads spend a few per cent more CPU than one. Only for a thread whose
/// every file is opened and closed on it; its table, and the references it copied, go when the thread ends.
[[nodiscard]] bool TakeOwnDescriptorTable();

}  // namespace lumetra
