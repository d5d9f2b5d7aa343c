// A book's index as a tree: main titles fold and unfold, leaves open their
// page. Arrow keys follow the reading direction: in a right-to-left tree
// ← goes in, → goes back out.

// Books with a short index open with every main title unfolded; long ones
// show only the way to the current page.
const TREE_OPEN_ALL_MAX = 60;

function countTocNodes(nodes) {
  return nodes.reduce((n, node) => n + 1 + (node.children ? countTocNodes(node.children) : 0), 0);
}

function createIndexTree(book, onPick) {
  const root = el('ul', { role: 'tree', class: 'index-tree', 'aria-label': 'فهرست کتاب' });
  const leafOfPage = new Map();
  const openAll = countTocNodes(book.toc) <= TREE_OPEN_ALL_MAX;

  const build = (nodes, list, level) => {
    for (const node of nodes) {
      const isTitle = Array.isArray(node.children);
      // A main title takes its name from its own row: a label on it would
      // not match what it shows, its entries below included.
      const item = el('li', {
        role: 'treeitem', 'aria-level': level, tabindex: '-1', 'aria-label': isTitle ? null : shownText(node.label),
        class: isTitle ? 'tree-item tree-title' : 'tree-item tree-leaf',
      }, el('span', { class: 'tree-row' },
        el('span', { class: 'tree-twisty', 'aria-hidden': 'true' }),
        nameNode(node.label, 'tree-label')));
      if (isTitle && node.children.length) {
        item.setAttribute('aria-expanded', openAll ? 'true' : 'false');
        const group = el('ul', { role: 'group', class: 'tree-group' });
        build(node.children, group, level + 1);
        item.append(group);
      } else if (isTitle) {
        // A main title with nothing under it yet has nothing to unfold.
        item.classList.add('tree-title-empty');
      } else {
        item.dataset.page = String(node.page);
        item.setAttribute('aria-selected', 'false');
        if (!leafOfPage.has(node.page)) leafOfPage.set(node.page, item);
      }
      list.append(item);
    }
  };
  build(book.toc, root, 1);

  const first = root.querySelector('[role="treeitem"]');
  if (first) first.tabIndex = 0;

  const isOpen = (item) => item.getAttribute('aria-expanded') === 'true';
  const setOpen = (item, open) => item.setAttribute('aria-expanded', open ? 'true' : 'false');

  // Items a reader can reach now: not inside a folded title.
  const visibleItems = () => Array.from(root.querySelectorAll('[role="treeitem"]'))
    .filter((item) => {
      for (let p = item.parentElement.closest('[role="treeitem"]'); p; p = p.parentElement.closest('[role="treeitem"]')) {
        if (!isOpen(p)) return false;
      }
      return true;
    });

  const focusItem = (item) => {
    if (!item) return;
    for (const other of root.querySelectorAll('[role="treeitem"][tabindex="0"]')) other.tabIndex = -1;
    item.tabIndex = 0;
    item.focus();
  };

  const activate = (item) => {
    if (item.hasAttribute('aria-expanded')) setOpen(item, !isOpen(item));
    else if (item.dataset.page !== undefined) onPick(Number(item.dataset.page));
  };

  root.addEventListener('click', (event) => {
    const item = event.target.closest('[role="treeitem"]');
    if (!item || !root.contains(item)) return;
    focusItem(item);
    activate(item);
  });

  root.addEventListener('keydown', (event) => {
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    const item = event.target.closest('[role="treeitem"]');
    if (!item) return;
    const title = item.hasAttribute('aria-expanded');
    const items = visibleItems();
    const at = items.indexOf(item);
    const parent = item.parentElement.closest('[role="treeitem"]');
    let handled = true;
    switch (event.key) {
      case 'ArrowDown': focusItem(items[at + 1]); break;
      case 'ArrowUp': focusItem(items[at - 1]); break;
      case 'Home': focusItem(items[0]); break;
      case 'End': focusItem(items[items.length - 1]); break;
      case 'ArrowLeft':
        if (title && !isOpen(item)) setOpen(item, true);
        else if (title) focusItem(item.querySelector('[role="treeitem"]'));
        break;
      case 'ArrowRight':
        if (title && isOpen(item)) setOpen(item, false);
        else if (parent) focusItem(parent);
        break;
      case 'Enter':
      case ' ':
        activate(item);
        break;
      default: handled = false;
    }
    if (handled) {
      event.preventDefault();
      event.stopPropagation();
    }
  });

  // Marks the page's entry, unfolds the titles above it and brings it in view.
  const select = (page) => {
    for (const old of root.querySelectorAll('[aria-selected="true"]')) old.setAttribute('aria-selected', 'false');
    const leaf = leafOfPage.get(page);
    if (!leaf) return;
    leaf.setAttribute('aria-selected', 'true');
    for (let p = leaf.parentElement.closest('[role="treeitem"]'); p; p = p.parentElement.closest('[role="treeitem"]')) setOpen(p, true);
    for (const other of root.querySelectorAll('[role="treeitem"][tabindex="0"]')) other.tabIndex = -1;
    leaf.tabIndex = 0;
    leaf.scrollIntoView({ block: 'nearest' });
  };

  const focusCurrent = () => {
    const current = root.querySelector('[role="treeitem"][tabindex="0"]');
    if (current) current.focus();
  };

  return { element: root, select, focusCurrent };
}
