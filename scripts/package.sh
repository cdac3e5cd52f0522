#!/usr/bin/env bash
# Builds the Debian package build/package/lumetra_<version>_<architecture>.deb from the release build
# (configured first when it is missing, and brought up to date): `cmake --install` into a staging tree, the
# manual pages and changelog compressed, the copyright file, and Depends found by dpkg-shlibdeps from the
# programs' libraries. Prints the package's path last.
#   scripts/package.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/release}
out=$root/build/package

scripts/install-deps.sh
[[ -f $build/CMakeCache.txt ]] || cmake --preset release
# Up to date after a build, as in CI, this builds nothing; it keeps a stale build from being packaged.
cmake --build "$build" --target lumetra lumetra-cli lumetra-cli-charts lumetra-demo

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
architecture=$(dpkg --print-architecture)
[[ -n $version ]] || { echo "package.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }

# The changelog and the AppStream data name the release; a version bumped in one place only is caught here.
changelog_version=$(sed -n '1s/^lumetra (\([^)]*\)).*/\1/p' packaging/debian/changelog)
metainfo_version=$(grep -o -m1 '<release version="[^"]*"' packaging/io.github.lumetra.Lumetra.metainfo.xml |
  sed 's/.*"\(.*\)"/\1/')
for named in "packaging/debian/changelog:$changelog_version" "the metainfo's newest release:$metainfo_version"; do
  if [[ ${named##*:} != "$version" ]]; then
    echo "package.sh: ${named%:*} says ${named##*:}, the project is $version" >&2
    exit 1
  fi
done

stage=$out/stage
rm -rf "$stage"
mkdir -p "$stage/DEBIAN"
DESTDIR=$stage cmake --install "$build" --prefix /usr --strip >/dev/null
# The compilers' names and versions are of no use in an installed program.
strip --remove-section=.comment "$stage"/usr/bin/*

# Debian keeps manual pages and changelogs compressed, without time stamps; a page that only includes
# another becomes a link to it.
man1=$stage/usr/share/man/man1
for page in "$man1"/*.1; do
  if grep -q '^\.so ' "$page"; then
    target=$(sed -n 's|^\.so man1/||p' "$page")
    rm "$page"
    ln -s "$target.gz" "$page.gz"
  else
    gzip -9n "$page"
  fi
done
doc=$stage/usr/share/doc/lumetra
mkdir -p "$doc"
install -m 0644 packaging/debian/copyright "$doc/copyright"
gzip -9nc packaging/debian/changelog >"$doc/changelog.gz"
chmod 0644 "$doc/changelog.gz"
install -D -m 0644 packaging/debian/lintian-overrides "$stage/usr/share/lintian/overrides/lumetra"
find "$stage" -type d -exec chmod 0755 {} +

# dpkg-shlibdeps reads the package names from a debian/control of its own.
shlibs=$(mktemp -d)
trap 'rm -rf "$shlibs"' EXIT
mkdir "$shlibs/debian"
printf 'Source: lumetra\n\nPackage: lumetra\nArchitecture: any\n' >"$shlibs/debian/control"
depends=$(cd "$shlibs" && dpkg-shlibdeps -O "$stage"/usr/bin/* | sed -n 's/^shlibs:Depends=//p')
[[ -n $depends ]] || { echo "package.sh: dpkg-shlibdeps found no libraries" >&2; exit 1; }

installed_size=$(du -sk --apparent-size --exclude=DEBIAN "$stage" | cut -f1)
sed -e "s|@VERSION@|$version|" -e "s|@ARCHITECTURE@|$architecture|" -e "s|@INSTALLED_SIZE@|$installed_size|" \
  -e "s|@DEPENDS@|$depends|" packaging/debian/control.in >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

package=$out/lumetra_${version}_${architecture}.deb
# The same build gives the same package: times no later than the release's changelog entry.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/debian/changelog -STimestamp)
export SOURCE_DATE_EPOCH
dpkg-deb --root-owner-group -Zxz --build "$stage" "$package" >/dev/null
echo "$package"
