#!/bin/busybox sh
# PID 1 of the test guest (see vm-run.sh): mounts the host's root read-only
# with writable memory where Wine and Xvfb write, the checkout read-write at
# its own path, runs the job and powers off.
bb=/bin/busybox
$bb mkdir -p /proc /sys /dev /newroot
$bb mount -t proc proc /proc
for m in $($bb cat /modules/order); do $bb insmod "/modules/$m.ko"; done
for word in $($bb cat /proc/cmdline); do
  case $word in
    zimbel.checkout=*) checkout=${word#*=} ;;
    zimbel.job=*) job=${word#*=} ;;
  esac
done

# Without cache=loose Wine maps PE files from 9p as zero pages.
opts=trans=virtio,version=9p2000.L,cache=loose,msize=524288
$bb mount -t 9p -o "$opts,ro" hostroot /newroot
for dir in /tmp /run /var/tmp /var/lib/xkb /root; do
  [ -d "/newroot$dir" ] && $bb mount -t tmpfs tmpfs "/newroot$dir"
done
$bb mount -t proc proc /newroot/proc
$bb mount -t sysfs sysfs /newroot/sys
$bb mount -t devtmpfs devtmpfs /newroot/dev
$bb mkdir -p /newroot/dev/shm /newroot/dev/pts
$bb mount -t tmpfs tmpfs /newroot/dev/shm
$bb mount -t devpts devpts /newroot/dev/pts
$bb chmod 1777 /newroot/tmp /newroot/var/tmp /newroot/dev/shm
# The checkout comes last, so no memory mounted above hides it wherever it
# lives (a clone under /tmp or /root); on memory its mount point is made.
$bb mkdir -p "/newroot$checkout"
$bb mount -t 9p -o "$opts" checkout "/newroot$checkout" || echo "vm-init: cannot mount the checkout at $checkout"

$bb chroot /newroot /bin/bash "$job"
$bb sync
echo o >/proc/sysrq-trigger
$bb sleep 60
