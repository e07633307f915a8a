#!/usr/bin/env bash
# The real jkn binary on temporary roots: round trips, exact file bytes, and each
# error path with its exit status and an unchanged folder.
# Usage: jkn_test.sh JKN CASE
set -u
JKN=$1
CASE=$2
base=$(mktemp -d)
trap 'chmod -R u+w "$base"; rm -rf "$base" "$base.err"' EXIT
export KORVEL_APPDATA_0=$base/r0 KORVEL_APPDATA_1=$base/r1
mkdir -p "$base/r0/inf" "$base/r1/inf"
inf=$base/r0/inf
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run EXPECTED_STATUS ARGS...: runs jkn, keeps stdout in $out and stderr in $err.
run() {
  local want=$1
  shift
  out=$("$JKN" "$@" 2>"$base.err")
  local status=$?
  err=$(cat "$base.err")
  [ "$status" = "$want" ] || fail "jkn $* exited $status, not $want (stderr: $err)"
}

expect_eq() { [ "$1" = "$2" ] || fail "$3: got [$1], wanted [$2]"; }
expect_in() { case "$1" in *"$2"*) ;; *) fail "$3: [$1] lacks [$2]" ;; esac; }
snapshot() { (cd "$base" && find . -printf '%p %s %m\n' | sort && cat r0/inf/* r1/inf/* 2>/dev/null | md5sum); }
crlf() { printf '%s\r\n' "$@"; }

case_defaults() {
  run 0 get GNSS_MaskElev
  expect_eq "$out" "15" "default"
  run 0 get GNSS_MaskElev svy
  expect_eq "$out" "15" "default of the _Svy key"
  run 0 list GNSS
  expect_in "$out" "  GNSS_MaskSate svy" "list GNSS"
  [ "$(echo "$out" | grep -c '^\*')" = 0 ] || fail "nothing differs on empty roots"
  run 0 list jkn-nmea.ini --json
  expect_eq "$(echo "$out" | python3 -c 'import json,sys; d=json.load(sys.stdin); print(len(d), d[0]["name"], d[0]["value"], d[0]["stored"])')" \
    "13 NMEA_Port 1 False" "list FILE --json (12 NMEA settings and RecSize 7)"
  expect_eq "$(ls -A "$inf" "$base/r1/inf" | tr -d '\n')" "$inf:$base/r1/inf:" "getters create nothing"
}

case_round_trips() {
  run 0 set GNSS_MaskElev svy 10
  run 0 set GNSS_MaskSate 65535
  run 0 set GNSS_Address 東京
  run 0 set SksNormColor 5,0,7
  run 0 set RectObsWide 1.23456
  expect_eq "$(cat "$inf/jkn-gnss.ini")" "$(crlf '[GNSS]' 'MaskElev_Svy=10' 'MaskSate=65535' $'Address=\x93\x8c\x8b\x9e')" "jkn-gnss.ini"
  expect_eq "$(cat "$inf/def-share.ini")" "$(crlf '[SKSG]' 'NCOL=  5,  0,  7' '[RCOB]' 'WIDE=1.235')" "def-share.ini"
  run 0 get GNSS_Address
  expect_eq "$out" "東京" "text shown in UTF-8"
  run 0 get GNSS_Address --raw
  expect_eq "$out" $'\x93\x8c\x8b\x9e' "--raw shows the bytes"
  run 0 set GNSS_UserID --raw $'\x82\xa0'
  run 0 get GNSS_UserID
  expect_eq "$out" "あ" "--raw takes the bytes"
  run 0 get SksNormColor
  expect_eq "$out" "5,0,7" "colour written with leading blanks"
  run 0 get RectObsWide --json
  expect_in "$out" '"value": 1.235' "double read back"
  run 0 set Use 9 0
  run 0 set Mkhy -3 2.5
  run 0 set ZETR_Tgt1_PsmType "$base/p.ini" 5
  run 0 set RecSize disp-gnss.ini 200
  expect_eq "$(cat "$inf/def-ts.ini")" "$(crlf '[Use]' 'Kkou=0' '[Mkhy]' '-3=2.5')" "item and entry"
  expect_eq "$(cat "$base/p.ini")" "$(crlf '[TGT]' 'TYP=5')" "profile named by path"
  expect_eq "$(cat "$inf/disp-gnss.ini")" "$(crlf '[0]' 'RecSize=200')" "file id by name"
  run 0 list --changed
  # Not Mkhy -3 (lists show entries 0 to 7) nor the profile outside its standard place.
  expect_eq "$(echo "$out" | grep -c '^\*')" "8" "changed settings"
  run 0 reset GNSS_MaskElev svy
  expect_eq "$out" "GNSS_MaskElev svy = 15 (default)" "reset output"
  expect_eq "$(cat "$inf/jkn-gnss.ini")" "$(crlf '[GNSS]' 'MaskSate=65535' $'Address=\x93\x8c\x8b\x9e' $'UserID=\x82\xa0')" "reset removes only its key"
  run 0 reset NMEA_Port
  [ ! -e "$inf/jkn-nmea.ini" ] || fail "reset of a missing file creates it"
}

# Each refusal: its status, its message, and not one byte changed anywhere.
case_errors() {
  crlf '[GNSS]' 'MaskElev=3' >"$inf/jkn-gnss.ini"
  local before
  before=$(snapshot)
  run 2 get GNSS_MaskElv
  expect_in "$err" "closest: GNSS_MaskElev" "unknown name"
  run 2 set Nonsense 1
  run 1 set GNSS_MaskElev abc
  expect_in "$err" "integer from -2147483648 to 2147483647" "letters for an integer"
  run 1 set GNSS_MaskSate 70000
  expect_in "$err" "from 0 to 65535" "16-bit width"
  run 1 set NMEA_Parity -1
  run 1 set GNSS_Address $'a\nb'
  expect_in "$err" "without line breaks" "line break"
  run 1 set GNSS_Address 😀
  expect_in "$err" "code page 932" "text outside code page 932"
  run 1 set TS_BtDevAddr "$(printf '%040d' 0)"
  expect_in "$err" "at most 31 bytes" "text longer than its buffer"
  run 1 set ZETR_Tgt1_PsmType 6
  expect_in "$err" "from 1 to 5" "validating setter"
  run 1 set PL30_Sch_HRangeRad 3.2
  run 1 set SksNormColor 1,2
  run 1 set TS_UseScale 2
  expect_in "$err" "0 or 1" "bool setter"
  run 1 set GNSS_ImuObs 5
  expect_in "$err" "0 or 1" "flag with an int setter"
  run 1 set LogColor 1,2,3
  expect_in "$err" "read-only" "getter without setter"
  run 2 set GNSS_MaskElev sideways 3
  run 2 get Use 25
  run 2 get Mkhy
  run 2 frobnicate
  expect_eq "$(snapshot)" "$before" "refusals change nothing"

  chmod 0444 "$inf/jkn-gnss.ini"
  before=$(snapshot)
  run 3 set GNSS_MaskElev 4
  expect_in "$err" "could not write" "read-only file"
  run 3 reset GNSS_MaskElev
  expect_eq "$(snapshot)" "$before" "a read-only file stays"

  rm -rf "$base/r1/inf"
  before=$(snapshot)
  run 3 set RecSize 3 7
  expect_in "$err" "mkdir -p '$base/r1/inf'" "missing inf folder of root 1"
  expect_eq "$(snapshot)" "$before" "nothing created"
  export KORVEL_APPDATA_0=$base/absent
  run 3 set GNSS_Page 1
  expect_in "$err" "mkdir -p '$base/absent/inf'" "missing inf folder"
  [ ! -e "$base/absent" ] || fail "a folder was created"
}

case_help() {
  run 0 --help
  expect_in "$out" "Exit status:" "exit statuses in --help"
  for cmd in list get set reset describe files reference; do
    run 0 "$cmd" --help
    expect_in "$out" "Exit status:" "$cmd --help"
  done
  run 0 describe GNSS_MaskSate --json
  expect_eq "$(echo "$out" | python3 -c 'import json,sys; d=json.load(sys.stdin); print(d["key"], d["default"], d["accepts"])')" \
    "MaskSate (plain), MaskSate_Svy (svy) 11 an integer from 0 to 65535" "describe --json"
  run 0 files --json
  expect_eq "$(echo "$out" | python3 -c 'import json,sys; d=json.load(sys.stdin); print(len(d), d[3]["path"].endswith("r1/inf/disp-navi.ini"), d[0]["exists"], d[0]["writable"])')" \
    "18 True False True" "files --json"
}

"case_$CASE"
[ "$failures" = 0 ] || exit 1
