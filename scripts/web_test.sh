#!/usr/bin/env bash
# The web version's stage of the tests: builds the page (scripts/web.sh) with the data of a
# native build, has the native build's scenario test draw the same screens the page's test
# plays, and runs the browser test (tests/web/game_test.py) in Debian's headless Chromium
# against a plain static server on 127.0.0.1.
#
#   bash scripts/web_test.sh NATIVE_BUILD_DIR [PAGE_DIR]     (default build-web/)
set -euo pipefail
cd "$(dirname "$0")/.."

native=$(realpath "$1")
page=${2:-build-web}
shots=$native/web-shots

VARK_NATIVE_BUILD=$native bash scripts/web.sh "$page"
rm -rf "$shots"
mkdir -p "$shots"
VARK_SHOTS=$shots "$native/tests/vark_tests" --gtest_filter='PagePictures.*' --gtest_brief=1
# Debian's own Python: it has python3-websocket, which another python3 on the PATH may lack.
/usr/bin/python3 tests/web/game_test.py "$page" "$shots"
