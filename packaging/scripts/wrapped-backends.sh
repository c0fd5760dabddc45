# The filesystem root that the installation lies under: / unless CVK_ROOT
# names another absolute folder, as it does for a staged installation.
root=${CVK_ROOT:-/}
case $root in
/*) ;;
*)
    echo "CVK_ROOT is not an absolute path: $root" >&2
    exit 2
    ;;
esac
while :; do
    case $root in
    */) root=${root%/} ;;
    *) break ;;
    esac
done

backend_folder=$root@CVK_CUPS_BACKEND_FOLDER@
wrapped_folder=$root@CVK_WRAPPED_BACKEND_FOLDER@

# Whether a path leads to cvkhook: a symbolic link that ends at it (perhaps
# through other links, as ipps leads to ipp), or a copy of it of any version
# (every cvkhook names the hidden folder of the backends it wraps, and no
# other backend does).
leads_to_hook() {
    if [ -L "$1" ]; then
        resolved=$(readlink -f "$1") || return 1
        [ "${resolved##*/}" = cvkhook ]
    else
        [ -f "$1" ] && grep -qF '/.cvkbackend' "$1"
    fi
}

# Whether nothing at all lies at a path, not even a dangling link.
is_free() {
    [ ! -e "$1" ] && [ ! -L "$1" ]
}

# A backend link put back from the hidden folder, where it pointed into the
# backend folder (../backend/ipp), points again to the name beside it (ipp),
# as its package made it.
relink_beside() {
    if [ -L "$1" ]; then
        target=$(readlink "$1")
        case $target in
        "../${backend_folder##*/}/"*)
            beside=${target#"../${backend_folder##*/}/"}
            case $beside in
            */*) ;;
            *) ln -sfn "$beside" "$1" ;;
            esac
            ;;
        esac
    fi
}
