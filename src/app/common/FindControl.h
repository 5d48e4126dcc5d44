#pragma once

#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace orsa::app {

// A control of a built window or page, by its object name. A missing one is the program's own fault
// (the builder and the commands disagree on a name), so it is thrown in every build, not only
// asserted in debug builds where it would otherwise go on as a null pointer.
template <class T>
T* control(QWidget& window, const char* name) {
  auto* found = window.findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) throw std::logic_error(std::string("control missing: ") + name);
  return found;
}

}  // namespace orsa::app
