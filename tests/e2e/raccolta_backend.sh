#!/bin/sh
# A CUPS backend for the tests: each job it receives becomes one file,
# job-<id>.pdf, in the folder named by its device URI ("raccolta:/some/folder").
# The file appears whole or not at all (written aside, then renamed).

if [ $# -eq 0 ]; then
    echo 'direct raccolta "Unknown" "Cartella di raccolta dei lavori"'
    exit 0
fi
if [ $# -lt 5 ]; then
    echo "Usage: raccolta job-id user title copies options [file]" >&2
    exit 1
fi

folder=${DEVICE_URI#*:}
part="$folder/.job-$1.part"
if [ $# -ge 6 ]; then
    cat "$6" >"$part" || exit 1
else
    cat >"$part" || exit 1
fi
mv "$part" "$folder/job-$1.pdf" || exit 1
exit 0
