// Spreading independent per-file work (decoding, resizing and encoding pictures) over the
// machine's cores while reporting it in order.
#pragma once

#include <cstddef>
#include <functional>

// Runs work(i) for every i in [0, count) on up to `threads` threads (0: one per core).
// done(i) runs on the calling thread, in index order, as soon as work(0) .. work(i) have
// finished. When a work item (or done) throws, no further item is started, every running
// one is waited for, and the exception is rethrown (the work item's of the lowest index
// first); done() is not called for the failed index or any later one.
void runInParallel(size_t count, const std::function<void(size_t)>& work,
                   const std::function<void(size_t)>& done, unsigned threads = 0);
