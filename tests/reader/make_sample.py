#!/usr/bin/python3
"""Writes hand-made CD exports for working on the reader without the
authoring program.

  make_sample.py [OUT]                 two exports of three books, plus
                                       expect.json for test_reader.py
                                       (OUT defaults to tests/reader/sample)
  make_sample.py --big N PAGES [OUT]   one export of N books of PAGES pages
                                       each, for timing (default /tmp/zorvel-big)

Each export gets a copy of resources/reader as Data/reader, so the exports
always run the current reader files.
"""

import json
import os
import random
import shutil
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RESOURCES = os.path.join(ROOT, 'resources')
READER = os.path.join(RESOURCES, 'reader')
ZWNJ = '\u200c'


def png(width, height, pixel):
    """A PNG whose pixel(x, y) gives (r, g, b)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(bytes(rows), 9)) + chunk(b'IEND', b''))


def cover_png(top, bottom):
    """A cover: a vertical gradient with a spine and two gold rules."""
    w, h = 150, 210

    def pixel(x, y):
        t = y / (h - 1)
        r, g, b = (round(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        if x < 10:
            return (r // 2, g // 2, b // 2)
        if y in (40, 41, 168, 169) and 24 <= x <= w - 14:
            return (224, 190, 110)
        return (r, g, b)

    return png(w, h, pixel)


def picture_png(w, h, seed):
    """A landscape: sky, sun, hills."""
    def pixel(x, y):
        horizon = h * 0.62 + 10 * ((x * 7 + seed) % 37) / 37
        if (x - w * 0.72) ** 2 + (y - h * 0.3) ** 2 < (h * 0.12) ** 2:
            return (250, 204, 90)
        if y < horizon:
            k = y / horizon
            return (round(120 + 90 * k), round(170 + 60 * k), 235)
        k = (y - horizon) / (h - horizon)
        return (round(70 - 30 * k), round(140 - 50 * k), round(60 - 20 * k))

    return png(w, h, pixel)


def mark_digits(text):
    """What the authoring program writes: a ZWNJ after every digit and
    after some punctuation."""
    out = []
    for ch in text:
        out.append(ch)
        if ch.isdigit() or ch in ':،.؛':
            out.append(ZWNJ)
    return ''.join(out)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = 'wb' if isinstance(data, bytes) else 'w'
    with open(path, mode, **({} if mode == 'wb' else {'encoding': 'utf-8', 'newline': '\n'})) as f:
        f.write(data)


def library_script(library):
    return 'window.ZORVEL_LIBRARY = ' + json.dumps(library, ensure_ascii=False, indent=1) + ';\n'


def book_script(book):
    return ('(window.ZORVEL_BOOKS = window.ZORVEL_BOOKS || {})[' + json.dumps(book['slot']) + '] = '
            + json.dumps(book, ensure_ascii=False) + ';\n')


def export_folder(out, library, books, files):
    """One export: the Data folders, the reader and its data scripts."""
    data = os.path.join(out, 'Data')
    for sub in ('BookTXT', 'BookIMG', 'FlashIMG', '_xml'):
        os.makedirs(os.path.join(data, sub), exist_ok=True)
    for rel, content in files.items():
        write(os.path.join(data, rel), content)
    reader = os.path.join(data, 'reader')
    if os.path.exists(reader):
        shutil.rmtree(reader)
    shutil.copytree(READER, reader)
    write(os.path.join(reader, 'data', 'library.js'), library_script(library))
    for book in books:
        write(os.path.join(reader, 'data', book['slot'] + '.js'), book_script(book))
    shutil.copy(os.path.join(RESOURCES, 'index.html'), os.path.join(out, 'index.html'))


def toc_shape(nodes):
    """The toc as expect.json states it: labels and main-title nesting."""
    shaped = []
    for n in nodes:
        if 'children' in n:
            shaped.append({'label': n['label'], 'children': toc_shape(n['children'])})
        else:
            shaped.append({'label': n['label']})
    return shaped


def leaves(nodes):
    for n in nodes:
        if 'children' in n:
            yield from leaves(n['children'])
        else:
            yield n


def read_media():
    def res(name):
        with open(os.path.join(RESOURCES, name), 'rb') as f:
            return f.read()
    return {
        'FlashIMG/Back.jpg': res('MyBack.jpg'),
        'FlashIMG/Sound1.mp3': res('MySound1.mp3'),
        'FlashIMG/Sound2.mp3': res('MySound2.mp3'),
    }


def page(title, texts, identity=False, **media):
    blocks = []
    for t in texts:
        blocks.append(t if isinstance(t, dict) else {'text': mark_digits(t)})
    p = {'title': title, 'identity': identity, 'blocks': blocks,
         'picture': None, 'sound': None, 'film': None, 'printable': None}
    p.update(media)
    return p


def sample_books():
    bagh = {
        'slot': 'a1', 'name': 'باغ پدربزرگ',
        'toc': [
            {'label': 'شناسنامه', 'page': 0},
            {'label': 'بخش يكم: باغ', 'children': [
                {'label': 'باغ كوچك', 'page': 1},
                {'label': 'فصل‌هاي سال', 'children': [
                    {'label': 'آب و جوي', 'page': 2},
                    {'label': 'پاييز', 'page': 3},
                ]},
                {'label': 'يادداشت‌ها', 'children': []},
            ]},
            {'label': 'پايان', 'page': 4},
        ],
        'pages': [
            page('شناسنامه', ['نام كتاب: باغ پدربزرگ', 'نوشته‌ي گروه زورل',
                              'ناشر: نشر نمونه، چاپ اول 1403', {'image': 'BookIMG/MyBack.png'}],
                 identity=True, printable='BookTXT/0A1B2C3D4E5F6G.html'),
            page('باغ كوچك', [
                'پدربزرگ هر صبح پيش از طلوع آفتاب به باغ مي‌رفت. درختان سيب و گلابي را يكي يكي نگاه مي‌كرد '
                'و با آن‌ها حرف مي‌زد.',
                'مي‌گفت درخت هم مثل آدم است: اگر حالش را نپرسي، دلش مي‌گيرد.'],
                picture='BookTXT/1K7Q2Y9A1B3C5D.png', sound='BookTXT/1K7Q2Y9A1B3C5D.mp3',
                film='BookTXT/1K7Q2Y9A1B3C5D.wmv', printable='BookTXT/1K7Q2Y9A1B3C5D.html'),
            page('آب و جوي', [
                'جوي باريكي از ميان باغ مي‌گذشت. آب آن از چشمه‌اي در بالاي تپه مي‌آمد و در تابستان هم خشك '
                'نمي‌شد.',
                {'image': 'BookIMG/Stream.png'},
                'ما بچه‌ها قايق‌هاي كاغذي‌مان را در آن رها مي‌كرديم و تا پايين باغ دنبالشان مي‌دويديم.'],
                sound='BookTXT/2K7Q2Y9A1B3C5D.wma'),
            page('پاييز', [
                'در پاييز برگ‌ها زرد و سرخ مي‌شدند. پدربزرگ آن‌ها را جمع مي‌كرد و زير درختان مي‌ريخت تا '
                'خاك در زمستان گرم بماند.',
                '«هيچ چيز در باغ هدر نمي‌رود.» اين جمله را بارها از او شنيديم.'],
                film='BookTXT/3K7Q2Y9A1B3C5D.mp4'),
            page('پايان', ['اين كتاب در سال 1403 براي نمونه ساخته شد.']),
        ],
    }
    nan = {
        'slot': 'a3', 'name': 'نان',
        'toc': [
            {'label': 'شناسنامه', 'page': 0},
            {'label': 'كاشت', 'page': 1},
            {'label': 'درو', 'page': 2},
            {'label': 'پختن', 'page': 3},
        ],
        'pages': [
            page('شناسنامه', ['نان', 'از گندم تا سفره'], identity=True),
            page('كاشت', ['كشاورز در پاييز دانه‌هاي گندم را در خاك مي‌كارد. زمستان برف روي زمين را '
                          'مي‌پوشاند و دانه‌ها زير آن آرام مي‌مانند.']),
            page('درو', ['در آغاز تابستان خوشه‌ها طلايي مي‌شوند. آن وقت كشاورزان گندم را درو مي‌كنند و '
                         'دانه را از كاه جدا مي‌كنند.']),
            page('پختن', ['نانوا آرد و آب و نمك و خميرمايه را با هم ورز مي‌دهد. خمير را پهن مي‌كند و در '
                          'تنور داغ مي‌گذارد. چند دقيقه بعد بوي نان تازه همه‌ي كوچه را پر مي‌كند!']),
        ],
    }
    setareh = {
        'slot': 'b2', 'name': 'ستاره‌ها',
        'toc': [
            {'label': 'شناسنامه', 'page': 0},
            {'label': 'آسمان روز', 'children': [
                {'label': 'خورشيد', 'page': 1},
            ]},
            {'label': 'آسمان شب', 'children': [
                {'label': 'ماه', 'page': 2},
                {'label': 'صورت‌هاي فلكي', 'page': 3},
            ]},
        ],
        'pages': [
            page('شناسنامه', ['ستاره‌ها', 'كتاب كوچكي براي كنجكاوها'], identity=True),
            page('خورشيد', ['خورشيد نزديك‌ترين ستاره به زمين است. نور آن در حدود 8 دقيقه به ما مي‌رسد. '
                            'بدون خورشيد هيچ گياهي رشد نمي‌كرد و زمين سرد و تاريك بود.']),
            page('ماه', ['ماه ستاره نيست؛ سنگي بزرگ است كه به دور زمين مي‌چرخد و نور خورشيد را '
                         'بازمي‌تاباند. هر 29 روز يك بار از هلال تا بدر و دوباره تا هلال مي‌رسد.']),
            page('صورت‌هاي فلكي', ['نياكان ما ستاره‌ها را به هم وصل مي‌كردند و در آسمان شكل‌هايي '
                                    'مي‌ديدند: شكارچي، خرس بزرگ، عقرب.']),
        ],
    }
    # No cover picture: the reader draws one.
    kotah = {
        'slot': 'c1', 'name': 'داستان‌هاي كوتاه',
        'toc': [{'label': 'شناسنامه', 'page': 0}],
        'pages': [page('شناسنامه', ['داستان‌هاي كوتاه'], identity=True)],
    }
    return [(bagh, 0, 1, 'BookIMG/aBook1.jpg'), (nan, 0, 3, 'BookIMG/aBook3.png'),
            (setareh, 1, 2, 'BookIMG/bBook2.png'), (kotah, 2, 1, None)]


def sample_files():
    with open(os.path.join(RESOURCES, 'MyBook.jpg'), 'rb') as f:
        my_book = f.read()
    with open(os.path.join(RESOURCES, 'MySound1.mp3'), 'rb') as f:
        sound = f.read()
    files = read_media()
    printable = ('<!DOCTYPE html><html lang="fa" dir="rtl"><head><meta charset="utf-8">'
                 '<title>نسخه چاپي</title></head><body><p>نسخه چاپي</p></body></html>')
    files.update({
        'BookIMG/aBook1.jpg': my_book,
        'BookIMG/aBook3.png': cover_png((196, 132, 52), (120, 66, 20)),
        'BookIMG/bBook2.png': cover_png((40, 60, 130), (12, 18, 60)),
        'BookIMG/MyBack.png': picture_png(120, 60, 3),
        'BookIMG/Stream.png': picture_png(320, 160, 11),
        'BookTXT/1K7Q2Y9A1B3C5D.png': picture_png(240, 180, 5),
        'BookTXT/1K7Q2Y9A1B3C5D.mp3': sound,
        # Not playable here: the reader offers a link to open the file.
        'BookTXT/1K7Q2Y9A1B3C5D.wmv': b'not a film',
        'BookTXT/2K7Q2Y9A1B3C5D.wma': b'not a sound',
        # Playable kind, broken content: the player gives way to a link.
        'BookTXT/3K7Q2Y9A1B3C5D.mp4': b'not a film either',
        'BookTXT/0A1B2C3D4E5F6G.html': printable,
        'BookTXT/1K7Q2Y9A1B3C5D.html': printable,
    })
    return files


def make_sample(out):
    books = sample_books()
    files = sample_files()
    exports = [
        {'folder': 'Export 1', 'template': 1, 'music': True, 'print': True},
        {'folder': 'Export 2', 'template': 2, 'music': False, 'print': False},
    ]
    for e in exports:
        library = {
            'format': 1,
            'settings': {'rows': [3, 2, 1], 'template': e['template'], 'music': e['music'], 'print': e['print']},
            'background': 'FlashIMG/Back.jpg',
            'music': {'shelves': 'FlashIMG/Sound1.mp3', 'book': 'FlashIMG/Sound2.mp3'},
            'books': [{'slot': b['slot'], 'row': row, 'place': place, 'name': b['name'], 'cover': cover,
                       'pageCount': len(b['pages']), 'script': 'data/' + b['slot'] + '.js'}
                      for b, row, place, cover in books],
        }
        export_folder(os.path.join(out, e['folder']), library, [b for b, *_ in books], files)

    bagh = books[0][0]
    expect = {
        'exports': exports,
        # The drawn cover of c1 is checked by the test from the library itself.
        'books': [{'slot': b['slot'], 'name': b['name'], 'toc': toc_shape(b['toc']),
                   'order': [leaf['label'] for leaf in leaves(b['toc'])]}
                  for b, _, _, cover in books if cover],
        'zwnj': {'slot': 'a1', 'label': 'باغ كوچك', 'text': bagh['pages'][1]['blocks'][1]['text']},
        'inlineImage': {'slot': 'a1', 'label': 'آب و جوي'},
        'searches': [
            {'query': 'کاغذی‌مان', 'slot': 'a1', 'label': 'آب و جوي'},
            {'query': 'کاشت', 'slot': 'a3', 'label': 'كاشت'},
            {'query': '1403', 'slot': 'a1', 'label': 'پايان'},
            {'query': '۲۹ روز', 'slot': 'b2', 'label': 'ماه'},
        ],
    }
    assert ZWNJ in expect['zwnj']['text']
    write(os.path.join(out, 'expect.json'), json.dumps(expect, ensure_ascii=False, indent=1) + '\n')


WORDS = ('كتاب باغ درخت آب خورشيد ماه ستاره نان گندم كشاورز پدربزرگ كوچه شهر دريا كوه راه سفر دانش '
         'خانه مدرسه دوست روز شب آسمان زمين باران برف بهار تابستان پاييز زمستان گل سيب انار').split()


def big_text(rng, size):
    words = []
    length = 0
    while length < size:
        w = rng.choice(WORDS)
        if rng.random() < 0.15:
            w = w + '‌ها'
        if rng.random() < 0.04:
            w = str(rng.randint(1, 1999))
        words.append(w)
        length += len(w.encode('utf-8')) + 1
        if rng.random() < 0.08:
            words[-1] += rng.choice(['.', '،', '؛', ':'])
    return ' '.join(words) + '.'


def make_big(out, count, pages_per_book):
    rng = random.Random(1403)
    if os.path.exists(out):
        shutil.rmtree(out)
    books = []
    entries = []
    per_row = [0, 0, 0]
    for n in range(count):
        row = min(2, n // 10)
        per_row[row] += 1
        slot = 'abc'[row] + str(per_row[row])
        pages = [page('شناسنامه', ['كتاب شماره ' + str(n + 1), big_text(rng, 300)], identity=True)]
        toc = [{'label': 'شناسنامه', 'page': 0}]
        group = None
        for p in range(1, pages_per_book):
            if (p - 1) % 16 == 0:
                group = {'label': 'بخش ' + str((p - 1) // 16 + 1), 'children': []}
                toc.append(group)
            title = 'عنوان ' + str(p)
            pages.append(page(title, [big_text(rng, 500), big_text(rng, 500), big_text(rng, 500)]))
            group['children'].append({'label': title, 'page': p})
        books.append({'slot': slot, 'name': 'كتاب بزرگ ' + str(n + 1), 'toc': toc, 'pages': pages})
        entries.append({'slot': slot, 'row': row, 'place': per_row[row], 'name': 'كتاب بزرگ ' + str(n + 1),
                        'cover': 'BookIMG/' + slot + '.png', 'pageCount': len(pages),
                        'script': 'data/' + slot + '.js'})
    library = {
        'format': 1,
        'settings': {'rows': [min(10, max(1, c)) for c in per_row], 'template': 1, 'music': True, 'print': True},
        'background': 'FlashIMG/Back.jpg',
        'music': {'shelves': 'FlashIMG/Sound1.mp3', 'book': 'FlashIMG/Sound2.mp3'},
        'books': entries,
    }
    files = read_media()
    cover = cover_png((120, 40, 40), (60, 10, 10))
    for e in entries:
        files[e['cover']] = cover
    export_folder(out, library, books, files)


def main(argv):
    if len(argv) >= 2 and argv[1] == '--big':
        if len(argv) not in (4, 5):
            sys.exit(__doc__)
        out = argv[4] if len(argv) == 5 else '/tmp/zorvel-big'
        make_big(out, int(argv[2]), int(argv[3]))
        print(out)
        return
    if len(argv) > 2:
        sys.exit(__doc__)
    out = argv[1] if len(argv) == 2 else os.path.join(HERE, 'sample')
    make_sample(out)
    print(out)


if __name__ == '__main__':
    main(sys.argv)
