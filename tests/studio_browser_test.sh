#!/bin/bash
# studio_browser_test.sh BIN NPM_DIR SHOTS: runs studio_browser_test.js with
# puppeteer-core, installed from npm into NPM_DIR on the first run (a tool
# of the tests alone), and Debian's Chromium.
set -euo pipefail
bin=$1 npm_dir=$2 shots=$3
if [ ! -d "$npm_dir/node_modules/puppeteer-core" ]; then
  mkdir -p "$npm_dir"
  npm install --prefix "$npm_dir" --no-audit --no-fund --loglevel=error puppeteer-core@24 >&2
fi
mkdir -p "$shots"
NODE_PATH="$npm_dir/node_modules" exec node "$(dirname "$0")/studio_browser_test.js" "$bin" "$shots"
