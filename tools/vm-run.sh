#!/usr/bin/env bash
# Runs one command in a virtual machine that executes 32-bit code, for kernels
# that run none (the machine's own, or the hypervisor under it, refuses 32-bit
# code segments, so no Wine of any kind runs a PE32 there).
#
#   tools/vm-run.sh COMMAND [ARG...]
#
# The guest boots Debian's own kernel under QEMU's emulator and mounts this
# machine's root read-only and the checkout read-write at the same absolute
# path, so it runs the very Wine, fonts and build trees of the host: nothing
# to install twice. The command runs as root in the current directory; its
# output comes back here and its exit status becomes this script's. The kernel
# and a tiny initramfs are made once into build/vm (a 70 MB download, seconds).
# ZIMBEL_VM_TIMEOUT (seconds, default 3600) bounds the whole run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
vm="$root/build/vm"
: "${ZIMBEL_VM_TIMEOUT:=3600}"

# Loaded in this order; each needs only those before it.
modules=(drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_legacy_dev
  drivers/virtio/virtio_pci_modern_dev drivers/virtio/virtio_pci fs/netfs/netfs fs/fscache/fscache
  net/9p/9pnet net/9p/9pnet_virtio fs/9p/9p)

make_guest_image() {
  local work="$vm/unpack"
  rm -rf "$vm" && mkdir -p "$work/debs" "$work/initrd/bin" "$work/initrd/modules"
  local kernel
  # Parsed output must be untranslated: the Wine scripts export a Japanese locale.
  kernel=$(LC_ALL=C apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-/ {print $2; exit}')
  [ -n "$kernel" ] || { echo "vm-run: no kernel package (run apt-get update)" >&2; exit 1; }
  # apt's download sandbox cannot write into root-owned build folders.
  (cd "$work/debs" && chmod 777 . && apt-get download -q "$kernel" busybox-static >/dev/null)
  for deb in "$work"/debs/*.deb; do dpkg-deb -x "$deb" "$work/tree"; done
  cp "$work"/tree/boot/vmlinuz-* "$vm/vmlinuz"
  local release
  release=$(basename "$work"/tree/lib/modules/*)
  for m in "${modules[@]}"; do
    cp "$work/tree/lib/modules/$release/kernel/$m.ko" "$work/initrd/modules/"
  done
  cp "$work/tree/bin/busybox" "$work/initrd/bin/busybox"
  cp "$root/tools/vm-init.sh" "$work/initrd/init"
  printf '%s\n' "${modules[@]##*/}" >"$work/initrd/modules/order"
  (cd "$work/initrd" && find . | cpio -o -H newc --quiet | gzip -1) >"$vm/initrd.gz"
  rm -rf "$work"
  echo "$release" >"$vm/ready"
}

"$root/tools/install-deps.sh" qemu-system-x86 cpio

# The image is remade when the init script changes.
if [ ! -f "$vm/ready" ] || [ "$root/tools/vm-init.sh" -nt "$vm/ready" ]; then
  echo "vm-run: making the guest kernel and initramfs in $vm"
  make_guest_image
fi

# The guest's part: the command, its directory and environment, written as a
# script the guest's init runs after mounting everything. Only the project's
# own variables and the locale go along: the rest names this session. The
# firmware and the kernel share the console: only the job's own lines are
# shown, the whole console is kept in build/vm/console.log.
job="$vm/job.sh"
status="$vm/status"
rm -f "$status"
{
  echo '#!/bin/bash'
  export -p | grep -E '^declare -x (PATH|LANG|LC_ALL|ZIMBEL_[A-Z0-9_]*)='
  echo 'export HOME=/tmp/home; mkdir -p "$HOME"'
  echo 'echo zimbel-guest-up'
  printf 'cd %q\n' "$PWD"
  printf '%q ' "$@"
  echo '</dev/null'
  printf 'echo $? >%q\n' "$status"
} >"$job"

accel="tcg,thread=multi"
# -smap: QEMU 7.2's emulator raises a false page fault on a 32-bit iret with it.
timeout --foreground -k 10 "$ZIMBEL_VM_TIMEOUT" qemu-system-x86_64 \
  -accel "$accel" -cpu max,-smap -smp 2 -m 4096 -nographic -no-reboot -nic none -vga none \
  -kernel "$vm/vmlinuz" -initrd "$vm/initrd.gz" \
  -append "console=ttyS0 panic=1 quiet loglevel=3 zimbel.checkout=$root zimbel.job=$job" \
  -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
  -virtfs "local,path=$root,mount_tag=checkout,security_model=none,multidevs=remap" \
  </dev/null | sed -u 's/\r$//' | tee "$vm/console.log" | \
  sed -u -e '1,/zimbel-guest-up$/d' -e '/\] \(sysrq: Power Off\|reboot: Power down\)$/d' || true

if [ ! -f "$status" ]; then
  echo "vm-run: the guest ended without finishing the command; the end of its console ($vm/console.log):" >&2
  tail -n 30 "$vm/console.log" >&2
  exit 125
fi
exit "$(cat "$status")"
