# make demo: the build's output in one line, the share built at each quarter
# and the number of files compiled; nothing for a build with nothing to do.
# A line "build failed", which the Makefile adds when the build fails, makes
# the exit status 1.
/^build failed$/ { failed = 1; next }
/^\[ *[0-9]+%\] (Building|Linking)/ {
  match($0, /[0-9]+%/)
  percent = substr($0, RSTART, RLENGTH - 1) + 0
  if (!started) printf "Building KALPO, its virtual printers and the kalpo tool:"
  started = 1
  if ($0 ~ /\] Building/) compiled++
  while (mark + 25 <= percent && mark < 75) { mark += 25; printf " %d%%", mark }
  fflush()
}
END {
  if (started) printf " done (%d files compiled)\n", compiled
  exit failed
}
