# Runs `npm ci` in NPM_DIR quietly: its output is shown only when it fails.
#   cmake -DNPM=... -DNPM_DIR=... -P npm_ci.cmake
execute_process(
  COMMAND "${NPM}" ci --no-audit --no-fund --no-update-notifier --no-progress --loglevel=error
  WORKING_DIRECTORY "${NPM_DIR}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "npm ci failed (${result}):\n${output}")
endif()
