#!/usr/bin/env bash
# Keeps the man pages in step with the programs' --help: every long option that --help names
# is described in the program's man page, and the man page names no option --help does not know.
#   man-pages.sh MAN_DIR PROGRAM...
set -euo pipefail
man_dir=$1
shift
status=0
options() { grep -oE -- '--[a-z][a-z0-9-]*' | sort -u; }
for program in "$@"; do
    name=$(basename "$program")
    page="$man_dir/$name.1"
    in_help=$("$program" --help | options)
    in_page=$(sed 's/\\-/-/g' "$page" | options)
    missing=$(comm -23 <(echo "$in_help") <(echo "$in_page"))
    unknown=$(comm -13 <(echo "$in_help") <(echo "$in_page"))
    if [ -n "$missing" ]; then
        echo "man-pages: $page lacks what $name --help names:" $missing >&2
        status=1
    fi
    if [ -n "$unknown" ]; then
        echo "man-pages: $page names what $name --help does not:" $unknown >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "man-pages: every option of --help is in the man pages"
exit $status
