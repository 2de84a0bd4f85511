# What the program leaves behind: files under the drive's folder, registry
# values, the clipboard.

_qlk_path() { local p=${1//\\//}; printf '%s/%s' "$QLK_DIR" "${p#/}"; }

# qlk_file_hex PATH: the bytes of a file under QLK_DIR as hex (PATH may use backslashes).
qlk_file_hex() { xxd -p "$(_qlk_path "$1")" | tr -d '\n'; }

# qlk_plant PATH [TEXT]: creates a file under QLK_DIR holding TEXT.
qlk_plant() {
    local path
    path=$(_qlk_path "$1")
    mkdir -p "$(dirname "$path")"
    printf '%s' "${2:-}" >"$path"
}

# qlk_reg_query KEY NAME: the data of a value as reg.exe prints it (plain ASCII values only).
qlk_reg_query() {
    local out
    out=$(_qlk_wine reg query "$1" /v "$2") || return 1
    # Lines read "    NAME    TYPE    DATA".
    sed -n "s/^    $2    REG_[A-Z_]*    //p; s/^    $2    REG_[A-Z_]*\$//p" <<<"$out"
}
# qlk_reg_hex KEY NAME: "TYPE SIZE HEX" of the raw ANSI bytes of a value (scrambled texts).
qlk_reg_hex() { _qlk_auto_call regvalue "$1" "$2"; }
# qlk_reg_forget KEY: deletes KEY now and again when the scenario ends.
qlk_reg_forget() {
    QLK_KEYS+=("$1")
    _qlk_reg_delete "$1"
}
# Through the helper, which costs no Wine process start; reg.exe once it has gone.
_qlk_reg_delete() {
    if qlk_alive "${QLK_AUTO_PID:-}"; then
        _qlk_auto_call regforget "$1" >/dev/null 2>&1 && return 0
    fi
    _qlk_wine reg delete "$1" /f >/dev/null 2>&1 || true
}
# qlk_reset_entry_password: forgets HKLM\SOFTWARE\QLK and a user's own copy in
# HKCU\SOFTWARE\QLK (which comes first), so the default entry password is in force.
qlk_reset_entry_password() {
    qlk_reg_forget 'HKLM\SOFTWARE\QLK'
    qlk_reg_forget 'HKCU\SOFTWARE\QLK'
}

# qlk_cipher_hex TEXT: hex of the program's character cipher of an ASCII text.
qlk_cipher_hex() {
    local LC_ALL=C text=$1 out="" code i
    for ((i = 0; i < ${#text}; i++)); do
        printf -v code '%d' "'${text:i:1}"
        if ((code >= 65 && code <= 90)); then code=$((code + 127))
        elif ((code >= 97 && code <= 122)); then code=$((code + 121))
        elif ((code >= 48 && code <= 57)); then code=$((code + 196)); fi
        printf -v code '%02x' "$code"
        out+=$code
    done
    printf '%s' "$out"
}

# qlk_clipboard: the clipboard's text.
qlk_clipboard() { _qlk_auto_call clipboard; }
