#!/bin/bash
# The harness itself: texts travel through the helper's serve protocol and
# back unchanged (escaped once on the way out), control ids are known by their
# names in resources/ids_*.h, a failure inside $(...) ends the scenario, and
# what a scenario leaves to qlk_at_exit runs, Wine commands included.
source "$(dirname "$0")/../lib.sh"

qlk_case "arguments reach the helper as typed; its answer escapes each one once"
# Each case: the argument, then what the helper prints for it.
cases=(
    'plain words' 'plain words'
    '' ''
    '  spaces around  ' '  spaces around  '
    $'line one\r\nline two' 'line one\r\nline two'
    'a literal \n and \\ stay text' 'a literal \\n and \\\\ stay text'
    $'tab\there' 'tab\there'
    $'bell\a and escape\e' 'bell\x07 and escape\x1B'
    'r 0' 'r 0'
    'o looks like output' 'o looks like output'
    'Grüße € 中文' 'Grüße € 中文'
    'IDC_NO_SUCH_CONTROL' 'IDC_NO_SUCH_CONTROL'
)
args=() expected=""
for ((i = 0; i < ${#cases[@]}; i += 2)); do
    args+=("${cases[i]}")
    expected+=${cases[i + 1]}$'\n'
done
qlk_expect_eq "every argument, one a line" "$expected" "$(qlk_auto echo "${args[@]}")"$'\n'
qlk_expect_eq "the helper still answers after them" "after" "$(qlk_auto echo after)"

qlk_case "control ids by name"
qlk_expect_eq "a name from ids_access.h" 1002 "$(qlk_id IDC_PW_TXT1)"
qlk_expect_eq "the standard buttons" "1 2" "$(qlk_id IDOK) $(qlk_id IDCANCEL)"
qlk_expect_eq "a number stays a number" "4003 0xFFFF" "$(qlk_id 4003) $(qlk_id 0xFFFF)"
qlk_id IDC_NO_SUCH_CONTROL 2>/dev/null && qlk_fail "an unknown name has a number"
qlk_pass "an unknown name is refused"
defined=$(cat "$QLK_ROOT"/resources/ids_*.h | grep -c '^#define ID')
qlk_expect_eq "every id the resources define is known" $((defined + 2)) "${#QLK_IDS[@]}"
qlk_expect_eq "a name given to the helper goes as its number" "3003 IDOK-text" \
    "$(qlk_auto echo IDC_VW_LV IDOK-text | paste -sd' ')"

qlk_case "the helper's exit codes"
rc=0
qlk_auto -T 0 -t 'no such window' wait >/dev/null || rc=$?
qlk_expect_eq "a window that is not there" 1 "$rc"
rc=0
qlk_auto regvalue 'HKLM\SOFTWARE' 2>/dev/null || rc=$?
qlk_expect_eq "a command short of its arguments" 2 "$rc"

qlk_case "a failure inside a command substitution ends the scenario"
rc=0
# The command that holds the substitution still runs; the next one does not.
out=$(QLK_E2E_OUT="" bash -c 'source "$1/e2e/lib.sh"; echo "[$(qlk_fail "on purpose")]"; echo "went on"' \
    _ "$QLK_ROOT" 2>&1) || rc=$?
[ "$rc" -ne 0 ] || qlk_fail "the scenario ended with 0"
[[ $out == *"FAIL: on purpose"* && $out != *"went on"* ]] || qlk_fail "it went on: [$out]"
qlk_pass "it ended at the failing step"

qlk_case "what is left to qlk_at_exit runs at the end, Wine commands included"
# Scenarios put back the registry values they change this way; one that did
# not run would leave them changed for every later scenario.
check_key='HKCU\Software\QuillockHarnessCheck'
qlk_reg_forget "$check_key"
bash -c 'source "$1/e2e/lib.sh"; qlk_at_exit "qlk_wine reg add \"$2\" /v AtExit /d ran /f >/dev/null"' \
    _ "$QLK_ROOT" "$check_key" || qlk_fail "the inner scenario failed"
qlk_expect_eq "the value it added" "ran" "$(qlk_wine reg query "$check_key" /v AtExit | awk '$1 == "AtExit" {print $3}')"
