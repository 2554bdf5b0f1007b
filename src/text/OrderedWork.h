// Work on the items of a list side by side on a few threads, its results taken in the list's
// order on the calling thread.
#pragma once

#include <cstddef>
#include <functional>

namespace quirebook {

// The number of threads that suits this machine: one per core (at least one).
unsigned CoreCount();

// Runs work(i) for every i below `count` on up to `jobs` threads, and done(i) on the calling
// thread in the order of i, each as soon as work(i) and every done before it have finished. With
// one job everything runs on the calling thread, work(i) then done(i). work must not touch what
// another item's work touches; done may. An exception from work(i) or done(i) is raised here in
// i's turn, once every thread has stopped; no later done runs.
void WorkInOrder(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                 const std::function<void(std::size_t)>& done);

}  // namespace quirebook
