#!/usr/bin/env python3
"""Makes the manuscripts the import tests read, into the folder given.

odt.odt          written here: title, identity, headings three deep, a note,
                 a picture, a table, an empty heading
alone.odt        written here: no title style, one heading above all others,
                 an endnote, a heading with no text of its own
lo.docx, lo.odt  odt.odt saved by LibreOffice (soffice --convert-to)
localised.docx   python-docx: heading style ids "1", "2", no outline levels
                 of their own (only the English names), w:del / w:ins, w:tab,
                 w:br, ZWNJ, a numbered list
outline.docx     python-docx: outline levels on styles without heading names,
                 on a style they are based on, and on a paragraph
big.docx         python-docx: 260 headings, more than the table holds
bad-*.docx       not a ZIP, no document.xml, malformed XML, an entry over
                 200 MB unpacked
slip.docx        a picture whose entry name leaves the archive
With --no-office only the files this script writes itself are made."""
import copy
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

out = sys.argv[1]
no_office = "--no-office" in sys.argv
os.makedirs(out, exist_ok=True)


def png(width=4, height=3, rgb=(200, 30, 30)):
    raw = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
      'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:xlink="http://www.w3.org/1999/xlink" '
      'xmlns:dc="http://purl.org/dc/elements/1.1/" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" office:version="1.2"')

CONTENT = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document-content {NS}>
<office:automatic-styles>
<style:style style:name="P1" style:family="paragraph" style:parent-style-name="Title"/>
</office:automatic-styles>
<office:body><office:text>
<text:p text:style-name="P1">كتاب آزمايشي</text:p>
<text:p text:style-name="Standard">ناشر: نشر نمونه</text:p>
<text:p text:style-name="Standard">چاپ اول</text:p>
<text:h text:style-name="Heading_20_1" text:outline-level="1">فصل اول</text:h>
<text:p text:style-name="Standard">پيش درآمد فصل اول.</text:p>
<text:h text:style-name="Heading_20_2" text:outline-level="2">بخش يك</text:h>
<text:h text:style-name="Heading_20_3" text:outline-level="3">درس الف</text:h>
<text:p text:style-name="Standard">متن درس الف<text:note text:id="n1" text:note-class="footnote"><text:note-citation>1</text:note-citation><text:note-body><text:p text:style-name="Footnote">يادداشت الف</text:p></text:note-body></text:note> با يك يادداشت.</text:p>
<text:h text:style-name="Heading_20_3" text:outline-level="3">درس ب</text:h>
<text:p text:style-name="Standard">پيش از تصوير</text:p>
<text:p text:style-name="Standard"><draw:frame draw:name="img1" text:anchor-type="as-char" svg:width="1cm" svg:height="0.75cm"><draw:image xlink:href="Pictures/p1.png" xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"/></draw:frame></text:p>
<table:table table:name="T1"><table:table-column table:number-columns-repeated="2"/>
<table:table-row><table:table-cell office:value-type="string"><text:p>نام</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>مقدار</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><text:p>آب</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>۱۲</text:p></table:table-cell></table:table-row>
</table:table>
<text:h text:style-name="Heading_20_2" text:outline-level="2">بخش دو</text:h>
<text:p text:style-name="Standard">متن بخش دو<text:s text:c="2"/>با‌ فاصله<text:tab/>و زبانه.</text:p>
<text:h text:style-name="Heading_20_1" text:outline-level="1">فصل دوم</text:h>
<text:p text:style-name="Standard">متن فصل دوم<text:line-break/>سطر دوم.</text:p>
<text:h text:style-name="Heading_20_1" text:outline-level="1"></text:h>
<text:p text:style-name="Standard">پس از عنوان خالي.</text:p>
</office:text></office:body></office:document-content>
"""

STYLES = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles {NS}><office:styles>
<style:style style:name="Standard" style:family="paragraph"/>
<style:style style:name="Title" style:display-name="Title" style:family="paragraph" style:parent-style-name="Standard"/>
<style:style style:name="Heading_20_1" style:display-name="Heading 1" style:family="paragraph" style:default-outline-level="1"/>
<style:style style:name="Heading_20_2" style:display-name="Heading 2" style:family="paragraph" style:default-outline-level="2"/>
<style:style style:name="Heading_20_3" style:display-name="Heading 3" style:family="paragraph" style:default-outline-level="3"/>
<style:style style:name="Footnote" style:family="paragraph"/>
</office:styles></office:document-styles>
"""

MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.text"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
<manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/>
<manifest:file-entry manifest:full-path="Pictures/p1.png" manifest:media-type="image/png"/>
</manifest:manifest>
"""


# No title style: the first heading, above all the others, names the book.
ALONE = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document-content {NS}><office:body><office:text>
<text:p>پيش از نام</text:p>
<text:h text:outline-level="1">نام تنها</text:h>
<text:p>زير نام</text:p>
<text:h text:outline-level="2">الف</text:h>
<text:p>متن الف<text:note text:note-class="endnote"><text:note-citation>i</text:note-citation><text:note-body><text:p>پي نوشت</text:p></text:note-body></text:note></text:p>
<text:h text:outline-level="2">ب</text:h>
<text:h text:outline-level="2">ج</text:h>
<text:p>متن ج</text:p>
</office:text></office:body></office:document-content>
"""


def write_odt(path, content=CONTENT):
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.text")
        z.writestr("META-INF/manifest.xml", MANIFEST, zipfile.ZIP_DEFLATED)
        z.writestr("content.xml", content, zipfile.ZIP_DEFLATED)
        z.writestr("styles.xml", STYLES, zipfile.ZIP_DEFLATED)
        z.writestr("Pictures/p1.png", png(), zipfile.ZIP_DEFLATED)


MIN_DOC = ('<?xml version="1.0" encoding="UTF-8"?><w:document xmlns:w="http://schemas.openxmlformats.org/'
           'wordprocessingml/2006/main"><w:body><w:p><w:r><w:t>x</w:t></w:r></w:p></w:body></w:document>')


def write_bad():
    with open(os.path.join(out, "bad-notzip.docx"), "wb") as f:
        f.write(b"just some text, not an archive\n")
    with zipfile.ZipFile(os.path.join(out, "bad-nodocument.docx"), "w") as z:
        z.writestr("word/styles.xml", "<w:styles/>")
    with zipfile.ZipFile(os.path.join(out, "bad-malformed.docx"), "w") as z:
        z.writestr("word/document.xml", MIN_DOC.replace("</w:body>", ""))
    with zipfile.ZipFile(os.path.join(out, "bad-huge.docx"), "w", zipfile.ZIP_DEFLATED) as z:
        info = zipfile.ZipInfo("word/document.xml")
        info.compress_type = zipfile.ZIP_DEFLATED
        with z.open(info, "w", force_zip64=True) as f:
            block = b" " * (1 << 20)
            for _ in range(201):
                f.write(block)
    rels = ('<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/'
            'package/2006/relationships"><Relationship Id="rId9" Type="http://schemas.openxmlformats.org/'
            'officeDocument/2006/relationships/image" Target="../../evil.png"/></Relationships>')
    doc = ('<?xml version="1.0" encoding="UTF-8"?><w:document xmlns:w="http://schemas.openxmlformats.org/'
           'wordprocessingml/2006/main" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
           'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><w:body>'
           '<w:p><w:r><w:t>سر</w:t></w:r></w:p>'
           '<w:p><w:r><w:drawing><a:blip r:embed="rId9"/></w:drawing></w:r></w:p></w:body></w:document>')
    with zipfile.ZipFile(os.path.join(out, "slip.docx"), "w") as z:
        z.writestr("word/document.xml", doc)
        z.writestr("word/_rels/document.xml.rels", rels)
        z.writestr("../evil.png", png())


def python_docx_files():
    import docx
    from docx.oxml import OxmlElement
    from docx.oxml.ns import qn

    def outline(element, level):
        ppr = element.get_or_add_pPr()
        o = OxmlElement("w:outlineLvl")
        o.set(qn("w:val"), str(level))
        ppr.append(o)

    def drop_outline(style):
        ppr = style.element.pPr
        if ppr is not None:
            for o in ppr.findall(qn("w:outlineLvl")):
                ppr.remove(o)

    # Localised ids: the names stay "heading 1", "heading 2".
    d = docx.Document()
    for n in (1, 2):
        s = d.styles["Heading %d" % n]
        s.style_id = str(n)
        drop_outline(s)
    d.styles["Title"].style_id = "a5"
    d.add_paragraph("كتاب بومي", style=d.styles["Title"])
    d.add_paragraph("شناسنامه بومي")
    d.add_paragraph("گفتار يك", style=d.styles["Heading 1"])
    d.add_paragraph("درآمد گفتار")
    d.add_paragraph("زير گفتار", style=d.styles["Heading 2"])
    p = d.add_paragraph()
    p.add_run("مي\u200cخواهم")
    p.add_run().add_tab()
    p.add_run("بنويسم")
    p.add_run().add_break()
    p.add_run("سطر تازه \u200f.")
    # a deleted and an inserted revision
    w = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
    for tag, text in (("w:del", "حذف"), ("w:ins", " افزوده")):
        rev = OxmlElement(tag)
        rev.set(qn("w:id"), "1" if tag == "w:del" else "2")
        rev.set(qn("w:author"), "t")
        r = OxmlElement("w:r")
        t = OxmlElement("w:delText" if tag == "w:del" else "w:t")
        t.text = text
        t.set("{http://www.w3.org/XML/1998/namespace}space", "preserve")
        r.append(t)
        rev.append(r)
        p._p.append(rev)
    d.add_paragraph("گام يك", style=d.styles["List Number"])  # numbered through numbering.xml
    d.add_paragraph("گام دو", style=d.styles["List Number"])
    d.add_paragraph("", style=d.styles["Heading 2"])  # empty: no title
    d.add_paragraph("گفتار دو", style=d.styles["Heading 1"])
    d.add_paragraph("متن گفتار دو")
    d.save(os.path.join(out, "localised.docx"))

    # Outline levels without heading names.
    d = docx.Document()
    fasl = d.styles.add_style("Fasl", 1)
    outline(fasl.element, 0)
    dars = d.styles.add_style("Dars", 1)
    outline(dars.element, 1)
    sub = d.styles.add_style("DarsSub", 1)
    sub.base_style = dars
    d.add_paragraph("مقدمه بي عنوان")
    d.add_paragraph("فصل يكم", style=fasl)
    d.add_paragraph("درس نخست", style=dars)
    d.add_paragraph("متن درس نخست")
    d.add_paragraph("درس دوم", style=sub)
    d.add_paragraph("متن درس دوم")
    p = d.add_paragraph("عنوان بند")
    outline(p._p, 1)
    d.add_paragraph("متن بند")
    p = d.add_paragraph("سرعنوان بدنه شده", style=d.styles["Heading 1"])
    outline(p._p, 9)
    d.add_paragraph("فصل يكم دوباره", style=fasl)
    d.add_paragraph("متن آخر")
    d.save(os.path.join(out, "outline.docx"))

    d = docx.Document()
    for i in range(260):
        d.add_paragraph("عنوان %d" % (i + 1), style=d.styles["Heading 1"])
        d.add_paragraph("متن %d" % (i + 1))
    d.save(os.path.join(out, "big.docx"))


write_odt(os.path.join(out, "odt.odt"))
write_odt(os.path.join(out, "alone.odt"), ALONE)
write_bad()
if not no_office:
    python_docx_files()
    with tempfile.TemporaryDirectory() as profile:
        for fmt in ("docx", "odt"):
            work = tempfile.mkdtemp(dir=profile)
            src = os.path.join(work, "lo.odt")
            shutil.copy(os.path.join(out, "odt.odt"), src)
            saved = os.path.join(work, "saved")
            subprocess.run(["soffice", "-env:UserInstallation=file://" + profile + "/u", "--headless",
                            "--convert-to", fmt, "--outdir", saved, src],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            made = os.path.join(saved, "lo." + fmt)
            shutil.move(made, os.path.join(out, "lo." + fmt))
