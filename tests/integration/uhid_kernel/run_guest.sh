#!/usr/bin/env bash
# Boots Debian's kernel under QEMU with a small initramfs in which the
# simulated mouse is a real uhid device and the guest test runs against it.
# The kernel and its HID modules are fetched once (apt-get download) and
# kept in the cache folder; the initramfs is made anew on each run.
#
# Usage: run_guest.sh --cache DIR --simulator FILE --guest-test FILE --init FILE
set -euo pipefail

fail() {
  echo "uhid kernel test: $*" >&2
  exit 1
}

cache="" simulator="" guest_test="" init=""
while [ $# -gt 0 ]; do
  case "$1" in
    --cache) cache="$2"; shift 2 ;;
    --simulator) simulator="$2"; shift 2 ;;
    --guest-test) guest_test="$2"; shift 2 ;;
    --init) init="$2"; shift 2 ;;
    *) fail "unknown argument: $1" ;;
  esac
done
[ -n "$cache" ] && [ -x "$simulator" ] && [ -x "$guest_test" ] && [ -f "$init" ] ||
  fail "usage: run_guest.sh --cache DIR --simulator FILE --guest-test FILE --init FILE"

for tool in qemu-system-x86_64 busybox dpkg-deb tar gzip ldd; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/install-deps installs what this test needs)"
done
mkdir -p "$cache"

# --- The kernel and its HID modules, fetched once --------------------------
kernel="$cache/kernel"
if [ ! -f "$kernel/ready" ]; then
  package=$(apt-cache depends linux-image-amd64 2>/dev/null |
    awk '/Depends: linux-image-[0-9]/ { print $2; exit }' || true)
  [ -n "$package" ] ||
    fail "cannot tell which kernel package linux-image-amd64 stands for; the package lists may be missing (apt-get update)"
  fetch=$(mktemp -d "$cache/fetch.XXXXXX")
  trap 'rm -rf "$fetch"' EXIT
  if ! (cd "$fetch" && apt-get download "$package") >"$fetch/apt.log" 2>&1; then
    fail "cannot fetch the kernel package $package (is the package mirror reachable?): $(tail -n 3 "$fetch/apt.log")"
  fi
  mkdir -p "$fetch/x"
  dpkg-deb --fsys-tarfile "$fetch"/*.deb |
    tar -x -C "$fetch/x" --wildcards '*/boot/vmlinuz-*' '*/modules/*/kernel/drivers/hid/*' ||
    fail "the kernel package $package lacks the kernel image or the HID modules"
  rm -rf "$kernel"
  mkdir -p "$kernel"
  mv "$fetch"/x/boot/vmlinuz-* "$kernel/vmlinuz"
  mv "$(find "$fetch/x" -type d -path '*/kernel/drivers/hid' | head -n 1)" "$kernel/hid"
  echo "$package" >"$kernel/ready"
  rm -rf "$fetch"
  trap - EXIT
fi

# --- Module load order: each module after the modules it depends on --------
module_file() {
  local name="$1" candidate
  for candidate in "$name" "${name//_/-}" "${name//-/_}"; do
    if [ -f "$kernel/hid/$candidate.ko" ]; then
      echo "$candidate.ko"
      return
    fi
  done
  fail "the kernel module $name is not among the HID modules of $(cat "$kernel/ready")"
}
order=()
add_module() {
  local file dep seen
  file=$(module_file "$1")
  for seen in "${order[@]+"${order[@]}"}"; do
    [ "$seen" = "$file" ] && return
  done
  for dep in $(grep -a -o 'depends=[A-Za-z0-9_,-]*' "$kernel/hid/$file" | head -n 1 | cut -d= -f2 | tr , ' '); do
    add_module "$dep"
  done
  order+=("$file")
}
# hid-generic binds the device; without it no hidraw node appears.
add_module uhid
add_module hid-generic

# --- The initramfs -----------------------------------------------------------
root="$cache/initramfs-root"
rm -rf "$root"
mkdir -p "$root"/{bin,dev,proc,sys,tmp,modules}
cp "$(command -v busybox)" "$root/bin/busybox"
install -m 755 "$init" "$root/init"
for module in "${order[@]}"; do
  cp "$kernel/hid/$module" "$root/modules/"
done
printf '%s\n' "${order[@]}" >"$root/modules/order"

# A program goes in with every shared library it loads, at the same paths.
add_program() {
  local program="$1" target="$root/bin/$(basename "$1")" library
  if command -v strip >/dev/null; then
    strip --strip-debug -o "$target" "$program"
  else
    cp "$program" "$target"
  fi
  for library in $(ldd "$program" 2>/dev/null | awk '/=> \// { print $3 } /^[[:space:]]*\/[^ ]+ \(/ { print $1 }'); do
    if [ ! -e "$root$library" ]; then
      mkdir -p "$root$(dirname "$library")"
      cp -L "$library" "$root$library"
    fi
  done
}
add_program "$(command -v busybox)"
add_program "$simulator"
add_program "$guest_test"
(cd "$root" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 >"$cache/initramfs.gz"

# --- The guest ---------------------------------------------------------------
console="$cache/console.log"
rm -f "$console"
# Software emulation: the same on every machine, and quick enough for this.
timeout 120 qemu-system-x86_64 -accel tcg -m 512 -smp 1 \
  -display none -monitor none -serial "file:$console" -no-reboot \
  -kernel "$kernel/vmlinuz" -initrd "$cache/initramfs.gz" \
  -append "console=ttyS0 rdinit=/init panic=-1 quiet loglevel=4" </dev/null ||
  echo "uhid kernel test: QEMU ended with status $?" >&2

[ -f "$console" ] || fail "the guest wrote no console output"
tr -d '\r' <"$console"
grep -q '^TOLVAR-UHID-RESULT: PASS' <(tr -d '\r' <"$console") || fail "the guest test did not pass (console above)"
echo "uhid kernel test: passed"
