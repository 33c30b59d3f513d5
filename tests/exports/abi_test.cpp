// The callee of every export removes exactly its argument bytes from the stack (stdcall), or
// none (register exports). Measured on the real i386 library by a small calling thunk.
#include <gtest/gtest.h>
#include <string>

#include "abi_slots.h"
#include "host_memory.h"
#include "plugin.h"

#if defined(__i386__)

// int32_t abi_call(void* fn, const uint32_t* args, int32_t count, uint32_t eax):
// pushes count arguments right to left, calls fn with eax loaded, and returns how many
// bytes of stack the callee removed. The same assembler name on ELF and PE (no '_' prefix).
#if defined(_WIN32)
#define VOKR_ABI_CALL_TYPE ""
#define VOKR_ABI_CALL_SIZE ""
#else
#define VOKR_ABI_CALL_TYPE ".type vokr_abi_call, @function\n"
#define VOKR_ABI_CALL_SIZE ".size vokr_abi_call, .-vokr_abi_call\n"
#endif
asm(R"(
  .text
  .globl vokr_abi_call
)" VOKR_ABI_CALL_TYPE R"(
vokr_abi_call:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 16(%ebp), %ecx
  movl 12(%ebp), %esi
1:
  testl %ecx, %ecx
  jz 2f
  decl %ecx
  pushl (%esi,%ecx,4)
  jmp 1b
2:
  movl %esp, %edi
  movl 20(%ebp), %eax
  movl 8(%ebp), %edx
  call *%edx
  movl %esp, %eax
  subl %edi, %eax
  leal -12(%ebp), %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)" VOKR_ABI_CALL_SIZE);
extern "C" int32_t vokr_abi_call(void* fn, const uint32_t* args, int32_t count, uint32_t eax) asm("vokr_abi_call");

using namespace vokr::test;

namespace {

class ExportAbi : public ::testing::TestWithParam<ExportSlots> {};

TEST_P(ExportAbi, CalleeRemovesExactlyItsArguments) {
  const ExportSlots& e = GetParam();
  Plugin plugin;
  void* fn = plugin.symbol(e.name);
  ASSERT_NE(fn, nullptr) << e.name;
  // Every pointer argument points at a large zeroed block; integers are small. A zero record
  // is a valid, if empty, input for every export: an empty URL fails at once without network.
  HostArena arena;
  uint8_t* block = arena.alloc(1 << 20);
  uint32_t address = hostAddress(block + 16);
  uint32_t args[8];
  for (auto& a : args) a = address;
  int32_t removed = vokr_abi_call(fn, args, e.slots < 0 ? 0 : e.slots, address);
  EXPECT_EQ(removed, e.slots < 0 ? 0 : e.slots * 4) << e.name;
}

INSTANTIATE_TEST_SUITE_P(AllExports, ExportAbi, ::testing::ValuesIn(kExportSlots),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

#endif
