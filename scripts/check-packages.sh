#!/usr/bin/env bash
# Builds the packages, installs them with apt-get as an operator would, and tries them as an
# ordinary user with a clean environment (only HOME and PATH): talvo-sim create, a talvo-sec
# pack/unpack round trip, and talvo-tool under a virtual display finding the driver after the
# login (screenshots in $TALVO_CHECK_DIR, default ./packages/check). Then desktop-file-validate,
# appstreamcli validate and lintian (errors fail the check; warnings are listed). The packages
# and the user are removed at the end, whatever happened. Run as root; not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

user=talvo-check
display=:73
out=${TALVO_CHECK_DIR:-$PWD/packages/check}
packages=${TALVO_PACKAGE_DIR:-$PWD/packages}
export TALVO_PACKAGE_DIR=$packages

step() { printf '\n== %s\n' "$*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

pids=()
cleanup() {
  step "Cleaning up"
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  sleep 0.5
  apt-get purge -y -qq talvo-tool talvo-key-simulator > /dev/null 2>&1 || true
  if id "$user" > /dev/null 2>&1; then
    userdel -r "$user" > /dev/null 2>&1 || true
  fi
  echo "talvo-tool, talvo-key-simulator and the user $user are gone"
}
trap cleanup EXIT

step "Tools for the check"
tools=(lintian desktop-file-utils appstream xvfb xdotool x11-utils)
command -v import > /dev/null || tools+=(imagemagick)
missing=()
for package in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"

step "Building the packages"
scripts/package.sh
debs=("$packages"/talvo-*.deb)
for deb in "${debs[@]}"; do
  echo "$(basename "$deb"):"
  dpkg-deb -f "$deb" Package Version Architecture Depends Recommends Provides Conflicts Replaces | sed 's/^/  /'
done

rm -rf "$out" && mkdir -p "$out"

step "Installing them with apt-get"
DEBIAN_FRONTEND=noninteractive apt-get install -y "${debs[@]}" > "$out/apt.log" 2>&1 \
  || { cat "$out/apt.log"; fail "apt-get install"; }
grep -E '^(Setting up|The following NEW)' "$out/apt.log" | sed 's/^/  /' || true
dpkg -L talvo-tool talvo-key-simulator | grep -E '/(bin|lib|share/(applications|metainfo|man|doc))/.*\.' | sed 's/^/  /'

step "As the ordinary user $user, with only HOME and PATH set"
id "$user" > /dev/null 2>&1 && userdel -r "$user" > /dev/null 2>&1
useradd -m -s /bin/sh "$user"
chown "$user" "$out"
as_user() { runuser -u "$user" -- env -i HOME="/home/$user" PATH=/usr/bin:/bin "$@"; }

as_user talvo-sim create
as_user sh -c 'head -c 300000 /dev/urandom > "$HOME/document.bin"'
as_user talvo-sec pack /home/$user/document.bin /home/$user/document.sec
as_user talvo-sec unpack /home/$user/document.sec /home/$user/unpacked.bin
as_user cmp /home/$user/document.bin /home/$user/unpacked.bin || fail "the round trip changed the file"
echo "talvo-sec: pack and unpack round-tripped $(stat -c %s /home/$user/document.bin) bytes"

# The key holder's side: a seal of the demo key on a PDF, signed through the installed provider.
as_user sh -c 'printf "%%!PS\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (Contract) show showpage\n" \
  | ps2pdf - "$HOME/contract.pdf" && (umask 077 && echo 730264 > "$HOME/pin")'
as_user talvo-stamp-cli --seal 101 --page 1 --at 100,150 --pin-file /home/$user/pin \
  /home/$user/contract.pdf /home/$user/sealed.pdf
as_user pdfsig /home/$user/sealed.pdf | grep -q 'Signature is Valid' || fail "pdfsig did not find a valid signature"
echo "talvo-stamp-cli: sealed a PDF that pdfsig reports valid"

step "talvo-tool under Xvfb"
pids+=("$(as_user sh -c "Xvfb $display -screen 0 1024x768x24 -nolisten tcp > '$out/xvfb.log' 2>&1 & echo \$!")")
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
x() { as_user DISPLAY="$display" "$@"; }
pids+=("$(x sh -c "talvo-tool > '$out/talvo-tool.log' 2>&1 & echo \$!")")
# The tool's visible window with this title. Its title is read from _NET_WM_NAME (UTF-8): in
# the user's C locale Qt puts UTF-8 bytes into WM_NAME, which xdotool's --name cannot match.
wait_window() {
  for _ in $(seq 100); do
    for id in $(x xdotool search --onlyvisible --classname talvo-tool 2> /dev/null || true); do
      name=$(x LC_ALL=C.UTF-8 xprop -id "$id" _NET_WM_NAME 2> /dev/null | sed -n 's/.* = "\(.*\)"$/\1/p')
      if [ "$name" = "$1" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
  done
  return 1
}
login=$(wait_window "登录") || fail "no login window: $(cat "$out/talvo-tool.log")"
sleep 0.5
x import -window root "$out/login.png"
# No window manager runs: click into the password field as a person would, then type.
x xdotool mousemove --window "$login" 200 40 click 1
x xdotool type --delay 20 'plain-fox739204'
x xdotool key Return
main=$(wait_window "内部工具") || fail "no main window after the login: $(cat "$out/talvo-tool.log")"
sleep 1
# "刷新列表" reads the serial number from the key through the driver.
x xdotool mousemove --window "$main" 341 422 click 1
sleep 1
x import -window root "$out/main.png"
if grep -q '加载失败' "$out/talvo-tool.log"; then fail "talvo-tool did not load the driver: $(cat "$out/talvo-tool.log")"; fi
echo "login window and main window up, the driver loaded (no load failure traced); screenshots:"
echo "  $out/login.png $out/main.png (the serial number read after 刷新列表)"
echo "talvo-tool's standard error: $(cat "$out/talvo-tool.log")"
x xdotool windowclose "$main" 2> /dev/null || true

step "desktop-file-validate and appstreamcli validate"
for entry in talvo-tool talvo-stamp; do
  desktop-file-validate "/usr/share/applications/$entry.desktop" && echo "desktop entry $entry: valid"
done
appstreamcli validate --no-net /usr/share/metainfo/com.talvo.tool.metainfo.xml \
  /usr/share/metainfo/com.talvo.stamp.metainfo.xml

step "lintian"
lintian --tag-display-limit 0 "${debs[@]}" | tee "$out/lintian.txt" || true
if grep -q '^E:' "$out/lintian.txt"; then fail "lintian reports errors"; fi
echo "lintian: no errors; warnings: $(grep -c '^W:' "$out/lintian.txt" || true)"
grep '^W:' "$out/lintian.txt" | sed 's/^/  /' || true

step "All checks passed"
