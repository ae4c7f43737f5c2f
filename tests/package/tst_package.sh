#!/bin/sh
# The installable package: cpack builds the .deb from the build folder; its contents and dependencies
# are checked; it is unpacked into a temporary root and the desk is started from there, offscreen,
# for a new user, up to reading the workstation's tavorn.ini (whose server does not answer).
# Usage: tst_package.sh <build folder>
set -u
build=$1
work=$(mktemp -d /tmp/readdesk-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/readdesk_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package made"; exit 1; }

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/contents"
for path in ./opt/readdesk/readdesk ./opt/readdesk/readdesk-report ./opt/readdesk/readdesk-addinhost ./opt/readdesk/readdesk-launch \
  ./opt/readdesk/tavorn-ini ./opt/readdesk/addins/example/libExampleAddin.so \
  ./opt/readdesk/addins/example/addin.xml ./opt/readdesk/CFG/LT/LT_reader.ini \
  ./opt/readdesk/CFG/BM/BaseParam/BM_MarcIDX.ini ./opt/readdesk/InfoCenter/setting.ini \
  ./opt/readdesk/themes/zqui.tavorn.lt3.default.1/theme.xml "./opt/readdesk/Update/流通阅览/" \
  ./opt/readdesk/LOG/ ./opt/readdesk/TMP/ ./usr/bin/readdesk ./usr/share/applications/readdesk.desktop \
  ./usr/share/icons/hicolor/scalable/apps/readdesk.svg; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
grep -q '/tavorn\.ini$' "$work/contents" && fail "the package carries a tavorn.ini"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libpq5 libzip4 qt6-qpa-plugins fonts-wqy-microhei; do
  echo "$depends" | grep -q "$package" || fail "Depends lacks $package: $depends"
done

# Installed into a root of its own, the workstation's tavorn.ini written with the tool installed.
root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
mkdir -p "$root/etc/readdesk" "$work/xdg"
chmod 700 "$work/xdg"
"$root/opt/readdesk/tavorn-ini" "$root/etc/readdesk/tavorn.ini" LIBRARY \
  "host=127.0.0.1 port=1 dbname=library connect_timeout=5" desk secret || fail "tavorn-ini"
HOME=$work/home XDG_DATA_HOME= TAVORN_HOME= XDG_RUNTIME_DIR=$work/xdg QT_QPA_PLATFORM=offscreen \
  timeout 60 "$root/usr/bin/readdesk" >"$work/stdout" 2>"$work/stderr"
status=$?
[ "$status" -eq 1 ] || fail "the desk ended with $status, not 1: $(cat "$work/stderr")"

home=$work/home/.local/share/readdesk
[ -f "$home/CFG/LT/LT_reader.ini" ] || fail "the user's program directory lacks CFG/LT/LT_reader.ini"
[ -f "$home/addins/example/libExampleAddin.so" ] || fail "the user's program directory lacks the example add-in"
[ "$(readlink -f "$home/tavorn.ini")" = "$(readlink -f "$root/etc/readdesk/tavorn.ini")" ] ||
  fail "the user's tavorn.ini is not the workstation's"
grep -q '启动失败' "$work/stderr" || fail "no start-up failure reported: $(cat "$work/stderr")"
grep -q 'port 1 failed' "$home"/LOG/*_Log.log || fail "the log does not show the server of tavorn.ini"

# A second start keeps what the user changed.
echo "changed" >"$home/CFG/LT/LT_reader.ini"
HOME=$work/home XDG_DATA_HOME= TAVORN_HOME= XDG_RUNTIME_DIR=$work/xdg QT_QPA_PLATFORM=offscreen \
  timeout 60 "$root/usr/bin/readdesk" >/dev/null 2>&1
[ "$(cat "$home/CFG/LT/LT_reader.ini")" = "changed" ] || fail "a second start replaced the user's file"

[ "$failures" -eq 0 ] && echo "PASS: package $(basename "$deb")"
exit "$failures"
