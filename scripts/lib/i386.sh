# Sourced by the scripts that start i386 programs. Some kernels cannot start 32-bit programs
# (ia32 emulation off); there they run under qemu-i386 with the machine's multiarch libraries.

# Succeeds when this kernel starts a freshly built 32-bit program.
i386_runs_natively() {
  local probe status=1
  probe=$(mktemp -d)
  echo 'int main(void){return 0;}' > "$probe/p.c"
  if gcc -m32 -o "$probe/p" "$probe/p.c" 2>/dev/null && "$probe/p" 2>/dev/null; then status=0; fi
  rm -rf "$probe"
  return $status
}

# The command prefix that starts an i386 program here, as the array I386_RUN.
i386_runner() {
  I386_RUN=()
  i386_runs_natively || I386_RUN=(qemu-i386 -L /)
}
