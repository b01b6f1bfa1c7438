#pragma once

#include <functional>

namespace pelicast {

class Prompts;

// Runs one handler of the window. An error that ends it is shown in the standard error box
// (caption "Error", the text with its full stop) and the program goes on: no exception
// ever reaches Qt's event loop.
void runHandler(Prompts &prompts, const std::function<void()> &handler) noexcept;

} // namespace pelicast
