#!/bin/busybox sh
# The guest's first process: mounts the kernel's file systems, loads the HID
# modules, runs the guest test against the simulated mouse and prints one
# result line for the host to read; then it powers the machine off.
/bin/busybox mkdir -p /proc /sys /dev /tmp
/bin/busybox mount -t devtmpfs devtmpfs /dev
exec 0</dev/console 1>/dev/console 2>&1
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t tmpfs tmpfs /tmp

result=FAIL
loaded=yes
for module in $(cat /modules/order); do
  insmod "/modules/$module" || { echo "cannot load the module $module"; loaded=no; }
done
if [ "$loaded" = yes ]; then
  if TOLVAR_MOUSE_SIM=/bin/tolvar-mouse-sim timeout 60 /bin/uhid_guest_test --gtest_color=no; then
    result=PASS
  fi
fi
echo "TOLVAR-UHID-RESULT: $result"
poweroff -f
