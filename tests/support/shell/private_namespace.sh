# shellcheck shell=bash
# Private namespaces for whole-program tests that start window managers or
# compositors: these choose their X display number themselves and keep their
# sockets and lock files in /tmp, so each test runs in a mount namespace of its
# own over an empty /tmp, and in a network namespace of its own, which gives it
# its own abstract X sockets too. Sourced, not run.

# private_namespace [--pid] ARGS...: runs the calling script again, with the
# same arguments, in new mount and network namespaces (and, with --pid, a
# process namespace, so that whatever the test leaves running ends with it),
# over an empty /tmp. Folders under the old /tmp that the test needs (the
# build, the sources, the script) are bound back in at the same paths.
# Returns in the new namespaces; exits 77 (skipped) where they cannot be made.
#
# Inside a chroot the root is no mount point, and unshare cannot make every
# mount private as it does by default; it then leaves the mounts as they are,
# and the test goes on only where the mount holding /tmp is private already,
# so that nothing it mounts can reach the system outside.
private_namespace() {
  local pid_options=()
  if [ "${1:-}" = --pid ]; then
    pid_options=(--pid --fork --mount-proc)
    shift
  fi
  if [ -z "${ZINDLE_PRIVATE_NAMESPACE:-}" ]; then
    local propagation=()
    if ! unshare --mount --net true 2>/dev/null; then
      propagation=(--propagation unchanged)
      unshare --mount "${propagation[@]}" --net true 2>/dev/null ||
        { echo "SKIP: cannot make mount and network namespaces"; exit 77; }
    fi
    ZINDLE_PRIVATE_NAMESPACE=1 exec unshare --mount "${propagation[@]}" --net "${pid_options[@]}" -- bash "$0" "$@"
  fi
  unset ZINDLE_PRIVATE_NAMESPACE
  if ! mount --make-rprivate / 2>/dev/null; then
    [ "$(findmnt -n -o PROPAGATION -T /tmp)" = private ] ||
      { echo "SKIP: the mounts here are shared and cannot be made private"; exit 77; }
  fi
  # What the test needs from the old /tmp, found before it is covered.
  local keeps=() path keep
  for path in "${ZINDLE_BINARY_DIR:-}" "${ZINDLE_SOURCE_DIR:-}" "$0" "$@"; do
    [ -n "$path" ] || continue
    path=$(realpath -m "$path")
    [[ $path = /tmp/?* ]] || continue
    keep=${path#/tmp/}
    keeps+=("${keep%%/*}")
  done
  local old_tmp
  exec {old_tmp}</tmp
  mount -t tmpfs -o mode=1777 tmpfs /tmp
  for keep in "${keeps[@]}"; do
    [ -e "/tmp/$keep" ] && continue
    [ -e "/proc/$$/fd/$old_tmp/$keep" ] || continue
    if [ -d "/proc/$$/fd/$old_tmp/$keep" ]; then
      mkdir "/tmp/$keep"
    else
      touch "/tmp/$keep"
    fi
    # mount would otherwise resolve the source to its path, now under the new /tmp.
    mount --no-canonicalize --bind "/proc/$$/fd/$old_tmp/$keep" "/tmp/$keep"
  done
  exec {old_tmp}<&-
}
