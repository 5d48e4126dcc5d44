#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <source_location>
#include <string>
#include <type_traits>
#include <utility>

namespace orsa::testing {

// Element access that ends the test, as an ASSERT does, instead of reading past a list that a
// failed check left short: the other tests of the binary still run and report. Usable where an
// ASSERT is not, inside an expression or a helper that returns a value.
[[noreturn]] inline void stopTest(const std::string& message,
                                  const std::source_location& where = std::source_location::current()) {
  GTEST_MESSAGE_AT_(where.file_name(), static_cast<int>(where.line()), message.c_str(),
                    ::testing::TestPartResult::kFatalFailure);
  // Already reported: Google Test ends the test without a second message.
  throw ::testing::AssertionException(::testing::TestPartResult(
      ::testing::TestPartResult::kFatalFailure, where.file_name(), static_cast<int>(where.line()), message.c_str()));
}

// The element of a list the caller keeps; a copy of it when the list is a temporary (a trace
// returned by value), so the result never outlives its list.
template <typename List>
decltype(auto) at(List&& list, std::size_t index, const std::source_location& where = std::source_location::current()) {
  const auto size = static_cast<std::size_t>(list.size());
  if (index >= size)
    stopTest("element " + std::to_string(index) + " asked of a list of " + std::to_string(size), where);
  if constexpr (std::is_lvalue_reference_v<List>) {
    return list[index];
  } else {
    return std::remove_cvref_t<decltype(list[index])>(std::move(list[index]));
  }
}

template <typename List>
decltype(auto) first(List&& list, const std::source_location& where = std::source_location::current()) {
  return at(std::forward<List>(list), 0, where);
}

template <typename List>
decltype(auto) last(List&& list, const std::source_location& where = std::source_location::current()) {
  if (list.empty()) stopTest("the last element asked of an empty list", where);
  const auto lastIndex = static_cast<std::size_t>(list.size()) - 1;
  return at(std::forward<List>(list), lastIndex, where);
}

// The pointer, when it points to something.
template <typename T>
T* present(T* pointer, const std::string& what, const std::source_location& where = std::source_location::current()) {
  if (pointer == nullptr) stopTest(what + " is missing", where);
  return pointer;
}

}  // namespace orsa::testing
