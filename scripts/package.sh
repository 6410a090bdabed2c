#!/usr/bin/env bash
# Builds the Debian package (a Release build without tests) and checks it: what it
# holds, its dependencies, its desktop entry, its AppStream metainfo, its manual pages
# (gzipped, clean, naming the commands --help names) and its copyright file.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}

bash scripts/deps.sh desktop-file-utils appstream groff-base
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKESTRAVA_TESTS=OFF -DKESTRAVA_BENCH=OFF -DKESTRAVA_SANITIZE=OFF
cmake --build "$build" -j2
rm -f "$build"/kestrava_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/kestrava_*.deb)
deb=${debs[0]}
echo "Package: $deb ($(du -h "$deb" | cut -f1))"

failed=0
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in ./usr/bin/kestrava ./usr/bin/kestrava-cli ./usr/bin/kestrava-unitsim \
         ./usr/share/kestrava/kestrava.html ./usr/share/kestrava/kestrava_en.html \
         ./usr/share/kestrava/translations/kestrava_en.qm \
         ./usr/share/applications/kestrava.desktop \
         ./usr/share/metainfo/io.github.kestrava.Kestrava.metainfo.xml \
         ./usr/share/man/man1/kestrava.1.gz ./usr/share/man/man1/kestrava-cli.1.gz \
         ./usr/share/man/man1/kestrava-unitsim.1.gz ./usr/share/doc/kestrava/copyright \
         ./usr/share/icons/hicolor/48x48/apps/kestrava.png \
         ./usr/share/icons/hicolor/128x128/apps/kestrava.png; do
    grep -qxF "$f" <<<"$contents" || { echo "missing from the package: $f" >&2; failed=1; }
done
if grep -E '/tst_|screenshot|bench|render-icon|\.a$|\.h$' <<<"$contents"; then
    echo "the package holds files that are not for users (above)" >&2
    failed=1
fi
if grep -E '^\./usr/share/man/.*\.[0-9]$' <<<"$contents"; then
    echo "manual pages must be gzipped (above)" >&2
    failed=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6printsupport6; do
    grep -qw "$p" <<<"$depends" || { echo "Depends lacks $p" >&2; failed=1; }
done
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"
# Without a Japanese font the default Japanese window shows empty boxes.
grep -qF 'fonts-noto-cjk | fonts-ipafont-gothic' <<<"$recommends" \
    || { echo "Recommends lacks a Japanese font" >&2; failed=1; }

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/kestrava.desktop" || failed=1
appstreamcli validate --no-net "$tree/usr/share/metainfo/io.github.kestrava.Kestrava.metainfo.xml" \
    || failed=1
# The newest AppStream release is this version.
version=$(sed -n 's/^project(Kestrava VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
grep -m1 '<release ' "$tree/usr/share/metainfo/io.github.kestrava.Kestrava.metainfo.xml" \
    | grep -qF "version=\"$version\"" \
    || { echo "the metainfo's newest release is not $version" >&2; failed=1; }
grep -qE '^Copyright: .+' "$tree/usr/share/doc/kestrava/copyright" \
    || { echo "the copyright file names no copyright" >&2; failed=1; }
for page in "$tree"/usr/share/man/man1/*.1.gz; do
    warnings=$(zcat "$page" | groff -man -ww -z 2>&1) && [ -z "$warnings" ] \
        || { echo "$page: $warnings" >&2; failed=1; }
done
# The installed programs start and find their data folder beside bin/.
"$tree/usr/bin/kestrava-cli" --help >/dev/null || failed=1
# --help, the manual page and the README name the same commands.
commands=$("$tree/usr/bin/kestrava-cli" --help \
    | awk '/^Commands:/ {on = 1; next} /^$/ {on = 0} on && /^  [a-z]/ {print $1}' | sort -u)
[ -n "$commands" ] || { echo "kestrava-cli --help lists no command" >&2; failed=1; }
for c in $commands; do
    zcat "$tree/usr/share/man/man1/kestrava-cli.1.gz" | grep -qE "^\.BI? $c( |\$)" \
        || { echo "the manual page lacks the command $c" >&2; failed=1; }
    grep -qE "kestrava-cli .*\<$c\>" README.md \
        || { echo "README.md lacks the command $c" >&2; failed=1; }
done
# Whether the dependencies can be met on this system (nothing is installed).
if [ "$(id -u)" -eq 0 ]; then
    apt-get install -s -q "$(realpath "$deb")" >/dev/null || { echo "apt cannot install $deb" >&2; failed=1; }
fi
exit $failed
