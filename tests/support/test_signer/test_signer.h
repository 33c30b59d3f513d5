#pragma once
// What the test signing library appends to the document it copies.
namespace vokr::test {
inline constexpr char kTestSignature[] = "<!-- signed by the test signer -->\n";
} // namespace vokr::test
