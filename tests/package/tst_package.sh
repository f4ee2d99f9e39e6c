#!/usr/bin/env bash
# The Debian package as a user gets it: cpack builds it from the build folder,
# its control fields and its files are those of a desktop program, and
# unpacked into a scratch folder its desktop entry and AppStream metadata are
# valid, the program runs, is built with Debian's hardening flags
# (hardening-check), and lintian finds nothing wrong with the package.
#   tst_package.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
scratch="$build/package_test"
deb="$scratch/pelorin_${version}_$(dpkg --print-architecture).deb"
root="$scratch/root"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$scratch"
mkdir -p "$scratch"
if ! (cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1); then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
[ -f "$deb" ] || { echo "FAIL: no $deb; cpack made: $(ls "$scratch")" >&2; exit 1; }

# Control fields: the project's version, the libraries found by
# dpkg-shlibdeps, the fonts and the platform plugins.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pelorin ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
for key in Section Priority Maintainer Homepage Description; do
    [ -n "$(field "$key")" ] || fail "no $key field"
done
depends=$(field Depends)
for package in libqt6widgets6 libqt6printsupport6 libc6 fonts-liberation2 qt6-qpa-plugins; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
        fail "Depends lacks $package: $depends"
done

# The files: exactly these, owned by root, the program executable and the
# rest read-only, every folder open to all.
expected=(
    ./usr/bin/pelorin
    ./usr/share/applications/pelorin.desktop
    ./usr/share/doc/pelorin/changelog.gz
    ./usr/share/doc/pelorin/copyright
    ./usr/share/icons/hicolor/scalable/apps/pelorin.svg
    ./usr/share/man/man1/pelorin.1.gz
    ./usr/share/metainfo/com.example.pelorin.metainfo.xml
)
for size in 16 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/pelorin.png")
done
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort)
if [ "$files" != "$(printf '%s\n' "${expected[@]}" | sort)" ]; then
    fail "the package's files differ from the expected ones:"
    diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$files") >&2 || true
fi
while read -r mode owner _ _ _ path _; do
    case "$mode:$path" in
    d*) want=drwxr-xr-x ;;
    *:./usr/bin/*) want=-rwxr-xr-x ;;
    *) want=-rw-r--r-- ;;
    esac
    [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
    [ "$owner" = root/root ] || fail "$path is owned by $owner"
done <<<"$listing"

# Unpacked as apt would install it.
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/pelorin.desktop"
if ! report=$(desktop-file-validate "$desktop" 2>&1) || grep -Eq "error|warning" <<<"$report"; then
    fail "desktop-file-validate: $report"
fi
# Strict: warnings and notes fail as errors do; the tree check also finds the
# desktop entry the metadata launches.
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/com.example.pelorin.metainfo.xml" >&2 ||
    fail "appstreamcli validate"
appstreamcli validate-tree --no-net --strict "$root" >&2 || fail "appstreamcli validate-tree"

# The program from the package, with the system's Qt.
shown=$("$root/usr/bin/pelorin" --version) || fail "pelorin --version exited with $?"
[ "$shown" = "PELORIN $version" ] || fail "pelorin --version says '$shown'"
# Its manual page reads without complaints of the formatter.
if ! man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/pelorin.1.gz" 2>&1 >/dev/null) ||
    [ -n "$man_warnings" ]; then
    fail "man: $man_warnings"
fi

# Hardening: PIE, stack protector, fortified functions, RELRO and immediate
# binding, each found in the binary as shipped (stripped). Not control-flow
# protection: the code is compiled with -fcf-protection, but Debian 12's C
# start-up files (glibc's crt1.o and crti.o) carry no CET marks, so the linker
# marks no program on it as protected.
if ! hardened=$(hardening-check --nocfprotection "$root/usr/bin/pelorin" 2>&1); then
    fail "hardening-check: $hardened"
fi

# Lintian: no error and no warning; its notes are shown, not failed on.
if ! lint=$(lintian --fail-on error,warning --display-info "$deb" 2>&1); then
    fail "lintian reports errors or warnings"
fi
grep -v "running with root privileges" <<<"$lint" >&2 || true

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) of $deb failed" >&2
    exit 1
fi
echo "$deb: control fields, ${#expected[@]} files, desktop entry, metadata, --version, manual page, hardening and lintian are fine"
