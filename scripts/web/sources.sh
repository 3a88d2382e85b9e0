#!/usr/bin/env bash
# Fetches and unpacks Debian's own source package of a library, at the version the
# desktop build uses (the installed -dev package), into a cache folder keyed by that
# version. apt reads a deb-src list made here from the machine's own mirrors and keeps
# its state in the cache too, so the machine's lists are never touched; apt checks the
# signed release files and the hashes of every file it downloads, as for any install.
# When the mirror has moved on to a later Debian revision of the same upstream release
# (a security update the machine has not installed yet), that revision is taken.
#
#   bash scripts/web/sources.sh CACHE DEV_PACKAGE    prints the unpacked source folder
set -euo pipefail

cache=$(realpath -m "$1")
dev_package=$2
apt_dir=$cache/apt
log=$cache/sources.log

# The machine's enabled binary package lists, turned into source lists of the same mirrors.
write_source_lists() {
  local parts=$apt_dir/sources.list.d
  mkdir -p "$parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  rm -f "$parts"/*
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$file" >"$parts/$(basename "$file")"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$file" ] || continue
    sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file" >"$parts/$(basename "$file")"
  done
}

private_options=()
set_private_options() {
  private_options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)
}

# Reads the source lists once a day at most: a second run within the day asks no mirror.
refresh_lists() {
  local stamp=$apt_dir/lists.stamp
  if [ -n "$(find "$stamp" -mmin -1440 2>/dev/null)" ]; then return; fi
  write_source_lists
  apt-get -q "${private_options[@]}" update >>"$log"
  touch "$stamp"
}

# Revisions of the installed upstream release on the mirror, the installed one first,
# then the others from the latest down.
source_versions_on_mirror() {
  local wanted=$2 upstream=${2%-*} all
  all=$(apt-cache "${private_options[@]}" showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' |
    while read -r v; do [ "${v%-*}" = "$upstream" ] && echo "$v"; done | sort -u)
  grep -xF "$wanted" <<<"$all" || true
  grep -vxF "$wanted" <<<"$all" | sort -rV || true
}

# Checks every file the .dsc names and that is present against the .dsc's SHA-256.
files_match_dsc() {
  local dsc=$1 sum file
  while read -r sum _ file; do
    [ -e "$file" ] || continue
    echo "$sum  $file" | sha256sum --quiet -c - || return 1
  done < <(sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$dsc")
}

# apt-get source fails when the mirror lacks a file the .dsc names. The upstream
# tarball's detached signature is only a second opinion on a tarball whose hash the
# signed index already vouches for, so when only such signatures are missing and every
# other file matches the .dsc, the .dsc is copied without them and the source unpacked.
download_source() {
  local name=$1 version=$2
  (cd "$download" && apt-get -q "${private_options[@]}" source --download-only "$name=$version" >>"$log" 2>&1) &&
    return 0
  local dsc
  dsc=$(find "$download" -maxdepth 1 -name '*.dsc' | head -n1)
  [ -n "$dsc" ] || return 1
  local missing
  missing=$(cd "$download" && sed -n '/^Files:/,/^[^ ]/{/^ /p}' "$dsc" | awk '{print $3}' |
    while read -r file; do [ -e "$file" ] || echo "$file"; done)
  if [ -z "$missing" ] || grep -qv '\.asc$' <<<"$missing"; then return 1; fi
  (cd "$download" && files_match_dsc "$dsc") || return 1
  echo "web: $name $version: the mirror lacks $missing; unpacking without it" >&2
  grep -vF -f <(echo "$missing") "$dsc" >"$dsc.trimmed"
  mv "$dsc.trimmed" "$dsc"
}

if ! dpkg-query -W -f='${Status}' "$dev_package" 2>/dev/null | grep -q 'install ok installed'; then
  echo "web: $dev_package is not installed; the web build uses the desktop's versions" >&2
  exit 1
fi
source_name=$(dpkg-query -W -f='${source:Package}' "$dev_package")
installed_version=$(dpkg-query -W -f='${source:Version}' "$dev_package")
set_private_options
mkdir -p "$cache/src"
refresh_lists
mapfile -t versions < <(source_versions_on_mirror "$source_name" "$installed_version")
for version in "${versions[@]}"; do
  target=$cache/src/${source_name}_${version#*:}
  if [ -f "$target/.unpacked" ]; then
    echo "$target"
    exit 0
  fi
done

download=$cache/src/download-$source_name
fetched=""
for version in "${versions[@]}"; do
  rm -rf "$download"
  mkdir -p "$download"
  if download_source "$source_name" "$version"; then
    fetched=$version
    break
  fi
done
if [ -z "$fetched" ]; then
  echo "web: no source of $source_name $installed_version (or another revision of it) could be fetched; see $log" >&2
  exit 1
fi
[ "$fetched" = "$installed_version" ] || echo "web: $source_name: building $fetched (installed: $installed_version)" >&2
target=$cache/src/${source_name}_${fetched#*:}
rm -rf "$target"
# apt has checked the files against the signed index; dpkg-source checks them again
# against the .dsc (the uploader's own signature would need debian-keyring).
(cd "$download" && dpkg-source -x ./*.dsc tree >>"$log" 2>&1)
mv "$download/tree" "$target"
rm -rf "$download"
touch "$target/.unpacked"
echo "$target"
