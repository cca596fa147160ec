#!/bin/sh
# Writes dist/SHA256SUMS over every artifact of the release, after making sure each is there.
set -eu
dist=$1
version=$2
cd "$dist"
# CPack's staging folders are not artifacts.
rm -rf _CPack_Packages
artifacts="tarnasm-$version-linux-x86_64.tar.gz tarnasm_${version}_amd64.deb
           tarnasm-$version-win64.zip tarnasm-$version-win64-setup.exe
           tarnasm-$version.tar.gz $(ls tarnasm-"$version"-*.whl)
           tarnasm-linux-x64-$version.vsix tarnasm-win32-x64-$version.vsix
           tarnasm-$version-release-notes.md
           tarnasm-$version-playground.html tarnasm-$version-playground.zip"
# shellcheck disable=SC2086 # one name a word
sha256sum $artifacts >SHA256SUMS
# shellcheck disable=SC2086
ls -l $artifacts
