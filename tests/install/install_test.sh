#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a package would, and checks what a parent's
# desktop reads there: the programs answer --version from their installed place, the menu entry
# and the software centre's description validate, the manual pages render without warnings, and
# the entry, icon, MIME type, manual page and completion agree with each other and with the CLI.
# Usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/torvane-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

cli="$prefix/bin/torvane-cli"
[ "$("$cli" --version)" = "torvane-cli $version" ] || fail "installed torvane-cli --version"

# Debian 12's validator predates the desktop entry format 1.5, whose SingleMainWindow key the
# desktops and lintian know; every other complaint counts.
validate_entry() {
    local complaints
    complaints=$(desktop-file-validate "$1" 2>&1 | grep -v '"SingleMainWindow"' || true)
    [ -z "$complaints" ] || { echo "$complaints" >&2; return 1; }
}

man_page() {
    local page=$1 out err
    [ -f "$page" ] || { fail "no manual page $page"; return; }
    err=$(MANPAGER=cat MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null) ||
        fail "man -l $page"
    [ -z "$err" ] || fail "man -l $page warns: $err"
    out=$(MANPAGER=cat MANWIDTH=80 LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null)
    grep -q "$version" <<<"$out" || fail "$page does not name version $version"
}
man_page "$prefix/share/man/man1/torvane-cli.1.gz"

# Every command the CLI offers is in its manual page and its completion.
completion="$prefix/share/bash-completion/completions/torvane-cli"
[ -f "$completion" ] || fail "no bash completion"
bash -n "$completion" || fail "bash completion does not parse"
# The commands stand one a line under "Subcommands:" up to the blank line before the footer.
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 { if (!NF) exit; print $1 }')
[ -n "$commands" ] || fail "no commands in torvane-cli --help"
for command in $commands; do
    grep -Eq "^\.(B|BI|BR) \"?$command\b" <(zcat "$prefix/share/man/man1/torvane-cli.1.gz") ||
        fail "the manual page lacks the command $command"
    grep -Eq "(\"|\s)$command(\s|\")" "$completion" || fail "the completion lacks the command $command"
done

app="$prefix/bin/torvane"
if [ -x "$app" ]; then
    [ "$("$app" --version)" = "torvane $version" ] || fail "installed torvane --version"
    man_page "$prefix/share/man/man1/torvane.1.gz"

    id=io.torvane.Torvane
    entry="$prefix/share/applications/$id.desktop"
    validate_entry "$entry" || fail "desktop-file-validate $entry"
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
        fail "appstreamcli validate $id.metainfo.xml"
    grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
        fail "the metainfo's release is not $version"

    # The entry's icon is in the theme, scalable and in the PNG sizes, each its own size.
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
    for size in 16 22 24 32 48 64 128 256; do
        png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
        if [ ! -f "$png" ]; then
            fail "no ${size}px icon"
        elif ! file "$png" | grep -q "PNG image data, $size x $size"; then
            fail "the ${size}px icon is $(file -b "$png")"
        fi
    done

    # The entry opens what the installed MIME type describes, and the database takes the type.
    type=$(sed -n 's/^MimeType=\([^;]*\);.*/\1/p' "$entry")
    grep -q "type=\"$type\"" "$prefix/share/mime/packages/$id.xml" || fail "no MIME type $type"
    update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
    grep -q "^$type:\*\.tvbackup$" "$prefix/share/mime/globs" || fail "*.tvbackup is not $type"

    # A build that is not installed registers the same entry, for its own path.
    export XDG_DATA_HOME="$prefix/user"
    "$app" --register || fail "torvane --register"
    registered="$XDG_DATA_HOME/applications/$id.desktop"
    validate_entry "$registered" || fail "desktop-file-validate $registered"
    grep -q "^Exec=\"$app\" %f$" "$registered" || fail "the registered entry does not start $app"
    [ -f "$XDG_DATA_HOME/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no registered icon"
    "$app" --unregister || fail "torvane --unregister"
    [ ! -e "$registered" ] || fail "--unregister left $registered"
fi

# Debian's documentation of the package: its copyright and its changelog at this version.
doc="$prefix/share/doc/torvane"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$doc/copyright" || fail "no machine-readable copyright file"
zcat "$doc/changelog.gz" | head -1 | grep -q "^torvane ($version) " ||
    fail "the changelog does not start with version $version"

# Nothing of the developer's tools reaches a parent's machine.
! find "$prefix" -name 'torvane-demo-service*' | grep -q . || fail "the demo service is installed"

[ "$failures" -eq 0 ]
