// The page's questions, as modal dialogs: a confirmation before a drastic
// action, a manager's approval, and the table an item moves to. Each
// resolves once answered.

const $ = (id) => document.getElementById(id);

function answerOf(dialog) {
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true });
    dialog.returnValue = '';
    dialog.showModal();
  });
}

// Resolves true when the person confirms; with `reason`, to the reason
// typed, or null when cancelled.
export async function confirmed({ title, text, yes, reason = false }) {
  const dialog = $('confirm');
  $('confirm-title').textContent = title;
  $('confirm-text').textContent = text;
  $('confirm-yes').textContent = yes;
  const field = dialog.querySelector('input[name=reason]');
  $('confirm-reason').hidden = !reason;
  field.required = reason;
  field.value = '';
  const answer = await answerOf(dialog);
  if (!reason) return answer === 'yes';
  return answer === 'yes' ? field.value.trim() : null;
}

// Asks a manager to approve on this device what a waiter may not do alone:
// resolves to {staff, pin}, or null when cancelled. The dialog is made for
// the question and goes with its answer, so that its PIN field is never
// taken for the sign-in's.
export async function managerApproval(why) {
  document.body.append($('approve-template').content.cloneNode(true));
  const dialog = $('approve');
  $('approve-text').textContent =
    `${why[0].toUpperCase()}${why.slice(1)}: a manager types their name and PIN here.`;
  const answer = await answerOf(dialog);
  const staff = dialog.querySelector('input[name=staff]').value.trim();
  const pin = dialog.querySelector('input[name=pin]').value;
  dialog.remove();
  return answer === 'yes' ? { staff, pin } : null;
}

// Resolves to the label of the table chosen, or null when cancelled.
export async function tableToMoveTo(itemName, tables) {
  const dialog = $('move');
  $('move-title').textContent = `Move ${itemName} to`;
  const list = $('move-tables');
  list.replaceChildren();
  for (const table of tables) {
    const choice = document.createElement('button');
    choice.value = `table:${table}`;
    choice.textContent = `Table ${table}`;
    choice.formNoValidate = true;
    list.append(choice);
  }
  const field = dialog.querySelector('input[name=label]');
  field.value = '';
  const answer = await answerOf(dialog);
  if (answer.startsWith('table:')) return answer.slice('table:'.length);
  return answer === 'new' && field.value.trim() !== '' ? field.value.trim() : null;
}
