# Sourced by scripts/test.sh before the tests: a CUPS scheduler with a PDF
# printer ("PDF", cups-pdf) as the default destination, so that the print-out
# can send a real job. Safe to source again; it never fails the caller: when
# CUPS cannot start it says so and the end-to-end print test reports it.

hk_services_cups() {
    local sudo=""
    if [ "$(id -u)" != 0 ]; then
        if command -v sudo >/dev/null 2>&1; then sudo="sudo -n"; else
            echo "services: not root and no sudo; CUPS not started"
            return 1
        fi
    fi
    if ! command -v cupsd >/dev/null 2>&1 || ! command -v lpadmin >/dev/null 2>&1; then
        echo "services: cups is not installed"
        return 1
    fi
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ -f "$ppd" ] || ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
    if [ ! -f "$ppd" ] || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
        echo "services: printer-driver-cups-pdf is not installed"
        return 1
    fi

    if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
        $sudo mkdir -p /run/cups /var/spool/cups /var/cache/cups /var/log/cups 2>/dev/null
        $sudo cupsd || { echo "services: cupsd did not start"; return 1; }
        local i
        for i in $(seq 1 50); do
            lpstat -r 2>/dev/null | grep -q 'is running' && break
            sleep 0.2
        done
        lpstat -r 2>/dev/null | grep -q 'is running' || {
            echo "services: the CUPS scheduler does not answer"
            return 1
        }
    fi

    if ! lpstat -p PDF >/dev/null 2>&1; then
        $sudo lpadmin -p PDF -E -v cups-pdf:/ -P "$ppd" -o PageSize=A4 -D "PDF printer for tests" \
            2>/dev/null ||
            { echo "services: lpadmin could not add the PDF queue"; return 1; }
    fi
    [ "$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')" = PDF ] ||
        $sudo lpadmin -d PDF
    # Poppler's PDF to PostScript step keeps the fonts intact; the Ghostscript
    # one swaps glyphs of Qt's embedded subsets on some lines.
    $sudo lpadmin -p PDF -o pdftops-renderer-default=pdftops 2>/dev/null
    $sudo cupsenable PDF 2>/dev/null
    $sudo cupsaccept PDF 2>/dev/null
    local j
    for j in $(seq 1 50); do
        lpstat -a PDF 2>/dev/null | grep -q 'accepting requests' && break
        sleep 0.2
    done
    if lpstat -a PDF 2>/dev/null | grep -q 'accepting requests'; then
        echo "services: CUPS is running; default printer PDF (cups-pdf) accepts jobs"
        return 0
    fi
    echo "services: the PDF queue does not accept jobs"
    return 1
}

hk_services_cups || echo "services: continuing without a printer (the print job test will say so)"
unset -f hk_services_cups
